#include "ui/FocusValidator.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QTimer>

namespace dokivo {

FocusValidator::FocusValidator(QWidget* guarded, std::function<bool()> acceptable)
    : QObject(guarded), guarded_(guarded), acceptable_(std::move(acceptable)) {
    // Application-wide, because a click is given to its target (and the focus moved) before the
    // target's own filters would see it.
    qApp->installEventFilter(this);
}

FocusValidator::~FocusValidator() {
    qApp->removeEventFilter(this);
}

bool FocusValidator::isInsideGuarded(const QObject* object) const {
    for (; object; object = object->parent())
        if (object == guarded_)
            return true;
    return false;
}

void FocusValidator::takeFocusBack() {
    if (guarded_ && holding_ && !acceptable_())
        guarded_->setFocus(Qt::OtherFocusReason);
}

bool FocusValidator::eventFilter(QObject* watched, QEvent* event) {
    if (!guarded_ || !watched->isWidgetType())
        return false;
    switch (event->type()) {
        case QEvent::FocusIn:
            if (isInsideGuarded(watched))
                holding_ = true;
            break;
        case QEvent::FocusOut: {
            if (!holding_ || !isInsideGuarded(watched))
                break;
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            // Another window or a pop-up taking the focus is not a move inside this window.
            if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
                break;
            if (acceptable_())
                holding_ = false;
            else
                QTimer::singleShot(0, this, &FocusValidator::takeFocusBack);
            break;
        }
        case QEvent::KeyPress: {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if ((key == Qt::Key_Tab || key == Qt::Key_Backtab) && isInsideGuarded(watched) && !acceptable_())
                return true;
            break;
        }
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseButtonRelease: {
            auto* widget = static_cast<QWidget*>(watched);
            if (!holding_ || widget->window() != guarded_->window() || isInsideGuarded(watched) ||
                acceptable_())
                break;
            if (event->type() != QEvent::MouseButtonRelease)
                takeFocusBack();
            return true;
        }
        default:
            break;
    }
    return false;
}

}  // namespace dokivo
