#include "toolkit/message_sink.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <memory>

#include "platform/message_post.h"
#include "toolkit/window.h"
#include "toolkit/window_registry.h"

namespace toolkit {

namespace {

const QEvent::Type kPostedMessageEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

class PostedMessageEvent : public QEvent {
public:
    explicit PostedMessageEvent(platform::PostedMessage message)
        : QEvent(kPostedMessageEvent), mMessage(std::move(message)) {}
    platform::PostedMessage& Message() { return mMessage; }

private:
    platform::PostedMessage mMessage;
};

// Lives on the UI thread and hands each message to its window there.
class Dispatcher : public QObject {
public:
    bool event(QEvent* event) override {
        if (event->type() != kPostedMessageEvent) {
            return QObject::event(event);
        }
        auto& message = static_cast<PostedMessageEvent*>(event)->Message();
        if (Window* window = window_registry::Find(message.target)) {
            window->DeliverMessage(message);
        }
        return true;
    }
};

class QtMessageSink : public platform::MessageSink {
public:
    explicit QtMessageSink(Dispatcher* dispatcher) : mDispatcher(dispatcher) {}
    bool Post(platform::PostedMessage message) override {
        if (!window_registry::Exists(message.target)) {
            return false;
        }
        QCoreApplication::postEvent(mDispatcher, new PostedMessageEvent(std::move(message)));
        return true;
    }

private:
    Dispatcher* mDispatcher;
};

}  // namespace

void InstallMessageSink() {
    static Dispatcher* dispatcher = nullptr;
    if (dispatcher != nullptr) {
        return;
    }
    dispatcher = new Dispatcher();
    dispatcher->moveToThread(QCoreApplication::instance()->thread());
    platform::SetMessageSink(std::make_shared<QtMessageSink>(dispatcher));
}

}  // namespace toolkit
