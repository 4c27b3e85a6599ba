// Posted commands and repeating timers on the Qt event loop. A posted
// command is a custom event queued to a receiver object and handed to its
// handler when the loop gets to it, after the command being handled ends.
#pragma once

#include <QEvent>
#include <QObject>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>

#include "ui_ports.h"

namespace desk {

class CommandReceiver : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void(unsigned command, std::intptr_t param)>;
    explicit CommandReceiver(Handler handler, QObject* parent = nullptr);
    bool event(QEvent* e) override;
    static QEvent::Type command_event_type();

private:
    Handler handler_;
};

class QtCommandPoster : public CommandPoster {
public:
    explicit QtCommandPoster(CommandReceiver* receiver) : receiver_(receiver) {}
    void post(unsigned command, std::intptr_t param = 0) override;

private:
    CommandReceiver* receiver_;
};

class QtRepeatingTimer : public RepeatingTimer {
public:
    using Handler = std::function<void(int id)>;
    explicit QtRepeatingTimer(Handler handler) : handler_(std::move(handler)) {}
    void start(int id, int period_ms) override;
    void stop(int id) override;
    bool running(int id) const;

private:
    Handler handler_;
    std::map<int, std::unique_ptr<QTimer>> timers_;
};

}  // namespace desk
