#include "views/qt/message_box.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QMessageBox>

#include "views/qt/utf8_text.h"

namespace ulvren::views::qt {

void ShowWarningBox(QWidget& owner, std::string_view text) {
    const QString caption = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    QMessageBox box(QMessageBox::Warning, caption, FromUtf8(text), QMessageBox::Ok, &owner);
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::WindowModal);
    box.exec();
}

}  // namespace ulvren::views::qt
