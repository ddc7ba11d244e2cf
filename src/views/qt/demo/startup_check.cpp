#include "views/qt/demo/startup_check.h"

#include <time.h>
#include <unistd.h>

#include <QApplication>
#include <QEvent>
#include <fstream>
#include <sstream>
#include <string>

#include "ui/control_ids.h"

namespace ulvren::views::qt {
namespace {

// How long ago the kernel started this process, in milliseconds: what start-up costs, the
// loading of the libraries included.
std::optional<long long> ProcessAgeMs() {
    std::ifstream stat("/proc/self/stat");
    std::string line;
    if (!std::getline(stat, line)) {
        return std::nullopt;
    }
    // Field 22, start time in clock ticks since boot; the fields after the command's ")" start
    // at field 3.
    std::istringstream fields(line.substr(line.rfind(')') + 1));
    std::string field;
    for (int number = 3; number < 22 && fields >> field; ++number) {
    }
    long long start_ticks = 0;
    timespec now{};
    if (!(fields >> start_ticks) || clock_gettime(CLOCK_BOOTTIME, &now) != 0) {
        return std::nullopt;
    }
    const long long ticks_per_second = sysconf(_SC_CLK_TCK);
    const long long now_ms = now.tv_sec * 1000LL + now.tv_nsec / 1'000'000;
    return now_ms - start_ticks * 1000LL / ticks_per_second;
}

}  // namespace

StartupCheck::StartupCheck(QtMainWindowView& window, const CToolDlg& logic, std::ostream& out,
                           int& exit_code)
    : QObject(&window),
      window_(window),
      logic_(logic),
      check_("ulvren-demo", out),
      exit_code_(exit_code) {
    exit_code_ = 1;
    window_.installEventFilter(this);
    connect(&window_, &QtMainWindowView::workerEventHandled, this, &StartupCheck::Conclude);
    connect(&window_, &QtMainWindowView::messageShown, this, &StartupCheck::OnMessageBox);
    deadline_.setSingleShot(true);
    connect(&deadline_, &QTimer::timeout, this, [this] {
        exit_code_ = check_.Deadline();
        window_.reject();
    });
    deadline_.start(DemoCheck::kDeadline);
}

bool StartupCheck::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &window_ && event->type() == QEvent::Paint && !shown_) {
        shown_ = true;
        check_.Shown(ProcessAgeMs().value_or(-1));
        // Not from inside the paint: the window may close.
        QMetaObject::invokeMethod(this, &StartupCheck::Conclude, Qt::QueuedConnection);
    }
    return false;
}

void StartupCheck::OnMessageBox(const std::string& text) {
    const std::optional<int> ended = check_.BoxShown(text, logic_.Language());
    // The box is about to run: it is closed from inside its own loop.
    QMetaObject::invokeMethod(
        this,
        [] {
            if (QWidget* box = QApplication::activeModalWidget()) {
                box->close();
            }
        },
        Qt::QueuedConnection);
    if (ended) {
        deadline_.stop();
        exit_code_ = *ended;
        window_.reject();
    }
}

void StartupCheck::Conclude() {
    if (const std::optional<int> code = check_.Conclude(window_.Text(CONTROL_CAPACITY_FIELD))) {
        deadline_.stop();
        exit_code_ = *code;
        window_.accept();
    }
}

}  // namespace ulvren::views::qt
