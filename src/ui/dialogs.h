#pragma once

// Every modal question goes through this interface: Qt dialogs in the program, a scripted
// stand-in in tests, and standard input and output in batch mode.

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>
#include <deque>
#include <optional>

enum class MsgIcon { kNone, kError, kWarning, kQuestion, kInformation };
enum class MsgButtons { kOk, kYesNo, kYesNoCancel };
enum class MsgAnswer { kOk, kYes, kNo, kCancel };

class Dialogs {
 public:
  virtual ~Dialogs() = default;

  // A message box without owner window.
  virtual MsgAnswer MessageBox(const QString& text, const QString& caption, MsgIcon icon,
                               MsgButtons buttons) = 0;
  // A one-line input box; nothing when cancelled.
  virtual std::optional<QString> InputBox(const QString& caption, const QString& prompt,
                                          const QString& initial) = 0;
  // File dialogs; an empty name when cancelled. Filters use the "Name|*.a;*.b|..." form.
  // `initial` is the directory to start in, optionally followed by a proposed file name.
  virtual QString OpenFileName(const QString& filter, const QString& initial = {}) = 0;
  virtual QString SaveFileName(const QString& filter, const QString& initial = {}) = 0;
  virtual std::optional<QColor> ChooseColor(const QColor& initial) = 0;
  virtual std::optional<QFont> ChooseFont(const QFont& initial) = 0;
  // The report of a failure that no handler caught.
  virtual void ErrorReport(const QString& text) = 0;
  // The desktop's beep; `critical` for the error beep.
  virtual void Beep(bool critical) = 0;
};

// Real dialogs.
class QtDialogs : public Dialogs {
 public:
  MsgAnswer MessageBox(const QString& text, const QString& caption, MsgIcon icon,
                       MsgButtons buttons) override;
  std::optional<QString> InputBox(const QString& caption, const QString& prompt,
                                  const QString& initial) override;
  QString OpenFileName(const QString& filter, const QString& initial = {}) override;
  QString SaveFileName(const QString& filter, const QString& initial = {}) override;
  std::optional<QColor> ChooseColor(const QColor& initial) override;
  std::optional<QFont> ChooseFont(const QFont& initial) override;
  void ErrorReport(const QString& text) override;
  void Beep(bool critical) override;
};

// Answers from queues, for tests. Every question is recorded in `asked` as "kind: caption: text"
// (file dialogs as "open: filter" or "save: filter", followed by ": initial" when one is given).
// An empty queue answers Yes (OK) to message boxes and cancels everything else.
class ScriptedDialogs : public Dialogs {
 public:
  MsgAnswer MessageBox(const QString& text, const QString& caption, MsgIcon icon,
                       MsgButtons buttons) override;
  std::optional<QString> InputBox(const QString& caption, const QString& prompt,
                                  const QString& initial) override;
  QString OpenFileName(const QString& filter, const QString& initial = {}) override;
  QString SaveFileName(const QString& filter, const QString& initial = {}) override;
  std::optional<QColor> ChooseColor(const QColor& initial) override;
  std::optional<QFont> ChooseFont(const QFont& initial) override;
  void ErrorReport(const QString& text) override;
  void Beep(bool critical) override;

  std::deque<MsgAnswer> message_answers;
  std::deque<std::optional<QString>> input_answers;
  std::deque<QString> open_answers;
  std::deque<QString> save_answers;
  std::deque<std::optional<QColor>> color_answers;
  std::deque<std::optional<QFont>> font_answers;
  QStringList asked;
  QStringList input_initials;  // the text each input box started with
  QStringList errors;
  int beeps = 0;
  int critical_beeps = 0;
};

// Batch mode: nothing waits for a person. Message boxes go to standard error and take Yes (OK);
// input, open and save dialogs read one line from standard input (end of input: cancelled);
// colour and font dialogs are cancelled. The error report writes "Error: " and the text to
// standard error and marks the run as failed.
class BatchDialogs : public Dialogs {
 public:
  MsgAnswer MessageBox(const QString& text, const QString& caption, MsgIcon icon,
                       MsgButtons buttons) override;
  std::optional<QString> InputBox(const QString& caption, const QString& prompt,
                                  const QString& initial) override;
  QString OpenFileName(const QString& filter, const QString& initial = {}) override;
  QString SaveFileName(const QString& filter, const QString& initial = {}) override;
  std::optional<QColor> ChooseColor(const QColor& initial) override;
  std::optional<QFont> ChooseFont(const QFont& initial) override;
  void ErrorReport(const QString& text) override;
  void Beep(bool critical) override;

  bool failed() const { return failed_; }

 private:
  std::optional<QString> ReadAnswer();
  bool failed_ = false;
};
