#include "ui/ErrorReport.h"

#include <QString>
#include <exception>

#include "platform/Errors.h"
#include "platform/SjisText.h"
#include "ui/Dialogs.h"

namespace tabulon {

bool Guard(TDialogs& dialogs, QWidget* parent, const std::function<void()>& command) {
  try {
    command();
    return true;
  } catch (const TabulonError& error) {
    dialogs.Message(parent, QString::fromStdString(SjisToUtf8(error.what())));
  } catch (const std::exception& error) {
    dialogs.Message(parent, QString::fromLocal8Bit(error.what()));
  }
  return false;
}

}  // namespace tabulon
