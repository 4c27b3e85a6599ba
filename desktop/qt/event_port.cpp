// Command events and timers on the Qt event loop.
#include "event_port.h"

#include <QCoreApplication>

namespace desk {

namespace {
class CommandEvent : public QEvent {
public:
    CommandEvent(unsigned command, std::intptr_t param)
        : QEvent(CommandReceiver::command_event_type()), command(command), param(param) {}
    unsigned command;
    std::intptr_t param;
};
}  // namespace

CommandReceiver::CommandReceiver(Handler handler, QObject* parent)
    : QObject(parent), handler_(std::move(handler)) {}

QEvent::Type CommandReceiver::command_event_type() {
    static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

bool CommandReceiver::event(QEvent* e) {
    if (e->type() == command_event_type()) {
        auto* c = static_cast<CommandEvent*>(e);
        if (handler_) handler_(c->command, c->param);
        return true;
    }
    return QObject::event(e);
}

void QtCommandPoster::post(unsigned command, std::intptr_t param) {
    QCoreApplication::postEvent(receiver_, new CommandEvent(command, param));
}

void QtRepeatingTimer::start(int id, int period_ms) {
    auto& t = timers_[id];
    if (!t) {
        t = std::make_unique<QTimer>();
        QObject::connect(t.get(), &QTimer::timeout, [this, id] {
            if (handler_) handler_(id);
        });
    }
    t->start(period_ms);
}

void QtRepeatingTimer::stop(int id) {
    auto it = timers_.find(id);
    if (it != timers_.end() && it->second) it->second->stop();
}

bool QtRepeatingTimer::running(int id) const {
    auto it = timers_.find(id);
    return it != timers_.end() && it->second && it->second->isActive();
}

}  // namespace desk
