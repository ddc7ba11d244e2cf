#pragma once

#include <QWidget>
#include <memory>

#include "host/command_line_services.h"

namespace ulvren::views::qt {

// Holds the requests to end the program (SIGINT, SIGTERM, SIGHUP: Ctrl-C, a logout) while a format
// of the window's own runs. The first closes the window, as its close box does, so that the
// program ends as soon as the format is done; a second one ends the program at once.
class EndRequestHold {
  public:
    explicit EndRequestHold(QWidget& window) : window_(window) {}

    void Hold(bool held);

  private:
    QWidget& window_;
    std::unique_ptr<platform::EndRequestDeferral> deferral_;
};

}  // namespace ulvren::views::qt
