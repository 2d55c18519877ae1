#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>

namespace dokivo {

// Keeps the focus in a control while its content is not acceptable: within the control's own
// window, Tab and Backtab do nothing, and a click on any other control neither moves the focus
// nor reaches that control (so a button pressed from there is not pressed). Other windows,
// including the control's own pop-ups, are not affected.
class FocusValidator final : public QObject {
    Q_OBJECT
  public:
    FocusValidator(QWidget* guarded, std::function<bool()> acceptable);
    ~FocusValidator() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool isInsideGuarded(const QObject* object) const;
    void takeFocusBack();

    QPointer<QWidget> guarded_;
    std::function<bool()> acceptable_;
    // The focus belongs to the guarded control: it went there and has not left it legitimately.
    bool holding_ = false;
};

}  // namespace dokivo
