#pragma once

// Shared by the widget tests: a main module on a temporary configuration folder, and the few
// steps that make a window take keyboard focus the way an operator's window does.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include "config/Settings.h"
#include "support/TestSupport.h"

namespace dokivo::test {

// Shows a window and makes it the active one, so focus moves send their focus events.
inline ::testing::AssertionResult activate(QWidget& window) {
    window.show();
    window.activateWindow();
    if (!QTest::qWaitForWindowActive(&window))
        return ::testing::AssertionFailure() << "the window did not become active";
    return ::testing::AssertionSuccess();
}

// Moves the focus to a control as a click on it would, leaving the previous one.
inline void focusByMouse(QWidget* control) {
    control->setFocus(Qt::MouseFocusReason);
}

// Lets queued work (deferred deletes, zero timers) run.
inline void settle() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

struct UiFixture : ModuleFixture, ::testing::Test {
    QString iniPath() const { return tree.path(QStringLiteral("conf/Dokivo.ini")); }
    QByteArray iniBytes() const { return tree.read(QStringLiteral("conf/Dokivo.ini")); }
    QString stored(const QString& key) const {
        return ReadIni(kIniSection, key, QStringLiteral("<absent>"), iniPath());
    }
};

}  // namespace dokivo::test
