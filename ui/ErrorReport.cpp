#include "ui/ErrorReport.h"

#include <QString>
#include <exception>
#include <new>

#include "platform/Errors.h"
#include "ui/Dialogs.h"
#include "ui/QtStrings.h"

namespace tabulon {

bool Guard(TDialogs& dialogs, QWidget* parent, const std::function<void()>& command) {
  try {
    command();
    return true;
  } catch (const TabulonError& error) {
    dialogs.Message(parent, FromSjis(error.what()));
  } catch (const std::bad_alloc&) {
    // The window speaks Japanese; the library's own text of this one would be English.
    dialogs.Message(parent, QStringLiteral("メモリが足りません"));
  } catch (const std::exception& error) {
    // No error of ours: the library's text, which may be English, behind Japanese words.
    dialogs.Message(parent, QStringLiteral("予期しないエラーが起きました: ") +
                                QString::fromLocal8Bit(error.what()));
  }
  return false;
}

}  // namespace tabulon
