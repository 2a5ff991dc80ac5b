#pragma once

// The directory tree beside the file list: the chain of directories from the root down to the
// current one, and below it that directory's subdirectories. It holds its directory without a
// final delimiter (except the root), and every move makes that directory the process's working
// directory, against which bare file names resolve.

#include <QListWidget>
#include <string>
#include <vector>

class DirTreeList : public QListWidget {
  Q_OBJECT

 public:
  // `moves_working_dir`: whether each move also makes the directory the process's working
  // directory (the main window's tree does; a tree that only picks a target does not).
  explicit DirTreeList(QWidget* parent = nullptr, bool moves_working_dir = true);

  const std::string& Directory() const { return dir_; }

  // Points the tree at a path. A text equal to the current directory does nothing. Otherwise the
  // tree moves to the directory the path names (to the containing directory for a file; it stays
  // where it is when the path cannot be entered) and then emits Changed(), moved or not.
  void SetDirectory(const std::string& path);
  // Makes a single click enter a directory, as a target picker wants.
  void EnterOnClick();

  // Follows subdirectories of the current directory that were created (`added`) or deleted
  // (`removed`) meanwhile, by bare names; names that are not there, or are, change nothing.
  void SubdirsChanged(const std::vector<std::string>& added,
                      const std::vector<std::string>& removed);
  // Reads the subdirectories again, keeping the highlight and the scroll position.
  void Refresh();

 signals:
  void Changed();

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Rebuild();
  QListWidgetItem* AddItem(const std::string& path, const std::string& name, int depth,
                           int row = -1);
  void EnterItem(QListWidgetItem* item);

  std::string dir_;
  bool stale_ = true;  // the items are rebuilt only when they can be seen
  bool moves_working_dir_;
};
