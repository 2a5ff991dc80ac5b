#pragma once

// What the other windows may ask of the main window. They reach it through App::Main() and call
// these, never its controls, so that the list, the path line and the panels keep one owner.

#include <functional>
#include <string>
#include <vector>

#include "app/entry_order_rules.h"

class MainWindowApi {
 public:
  // The side panels of the file list.
  enum class Panel { kDirTree, kBookmarks };

  virtual ~MainWindowApi() = default;

  // Puts a directory (or the search results' name) into the path line and lists it.
  virtual void ShowDirectory(const std::string& path) = 0;
  // Lists the path of the path line again.
  virtual void ScanDirectory1Click() = 0;
  // The path line as bytes: the directory listed, or the one about to be.
  virtual std::string ListedPath() const = 0;
  // Makes `mask` the file mask, names it in the Mask item and lists the directory again.
  virtual void SetMask(const std::string& mask) = 0;

  // The bookmark panel mirrors the bookmarks window; refilling it lists no directory.
  virtual void SetBookmarks(const std::vector<std::string>& bookmarks) = 0;
  virtual void InsertBookmark(int row, const std::string& bookmark) = 0;
  virtual void RemoveBookmark(int row) = 0;

  // Shows or hides a side panel, leaving the View menu's check mark as it is.
  virtual void ShowPanel(Panel panel, bool show) = 0;
  virtual bool PanelShown(Panel panel) const = 0;

  // The entries of the list, and those selected, in list order.
  virtual const std::vector<std::string>& Entries() const = 0;
  virtual std::vector<std::string> SelectedEntries() const = 0;
  // The order the lists show entries in, as chosen in the View menu.
  virtual app::EntryOrder ListOrder() const = 0;
  // Calls `listener` whenever the entries of the list change: listed anew, added or removed.
  virtual void WhenListChanges(std::function<void()> listener) = 0;
  // While held, changes on the disk are gathered but the list does not follow them; released,
  // it follows them all at once. For a run that changes many names and lists them afterwards.
  virtual void HoldListChanges(bool hold) = 0;

  // The selection and deletion commands, as their menu items run them.
  virtual void SELECTALL1Click() = 0;
  virtual void Delete1Click() = 0;
  virtual void DeleteAll1Click() = 0;

  // Closes the main window as the title bar's close does (which ends the program).
  virtual void CloseWindow() = 0;
  // Whether the closing steps have run (the window is closed for good).
  virtual bool closed() const = 0;
};
