// The application's one general error report: a command that ends with an exception shows the
// exception's text in a message box, and the program goes on. Whatever the command changed
// before the error stays changed.
#pragma once

#include <functional>

class QWidget;

namespace tabulon {

class TDialogs;

// Runs command; an exception leaving it is reported through dialogs: a TabulonError by its text
// (Shift-JIS), a lack of memory as "メモリが足りません", any other exception as
// "予期しないエラーが起きました: " and its text. Returns false when it was reported.
bool Guard(TDialogs& dialogs, QWidget* parent, const std::function<void()>& command);

}  // namespace tabulon
