#pragma once

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace ulvren::testing {

// Answers every modal window that opens over the main window, as a user would. Each message box
// is recorded with what the main window showed when it came up, then closed with its OK button;
// each password dialog is handed to the next script in line.
class ModalWatcher final : public QObject {
    Q_OBJECT

  public:
    struct Box {
        std::string text;
        QString caption;
        QMessageBox::Icon icon;
        int buttons;
        // What `snapshot` read from the main window as the box came up.
        std::string window;
    };

    using Script = std::function<void(QDialog& dialog)>;

    ModalWatcher(QWidget& main_window, std::function<std::string()> snapshot)
        : main_window_(main_window), snapshot_(std::move(snapshot)) {
        qApp->installEventFilter(this);
    }

    void Expect(Script script) { scripts_.push_back(std::move(script)); }
    const std::vector<Box>& Boxes() const { return boxes_; }
    bool ScriptsLeft() const { return !scripts_.empty(); }

  signals:
    void boxClosed();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Show) {
            return false;
        }
        if (auto* box = qobject_cast<QMessageBox*>(watched)) {
            boxes_.push_back({box->text().toStdString(), box->windowTitle(), box->icon(),
                              static_cast<int>(box->buttons().size()), snapshot_()});
            // From inside the box's own loop, once it runs.
            QMetaObject::invokeMethod(
                box,
                [this, box] {
                    QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
                    emit boxClosed();
                },
                Qt::QueuedConnection);
        } else if (auto* dialog = qobject_cast<QDialog*>(watched);
                   dialog != nullptr && dialog != &main_window_ && !scripts_.empty()) {
            Script script = std::move(scripts_.front());
            scripts_.pop_front();
            QMetaObject::invokeMethod(
                dialog, [dialog, script = std::move(script)] { script(*dialog); },
                Qt::QueuedConnection);
        }
        return false;
    }

  private:
    QWidget& main_window_;
    std::function<std::string()> snapshot_;
    std::deque<Script> scripts_;
    std::vector<Box> boxes_;
};

}  // namespace ulvren::testing
