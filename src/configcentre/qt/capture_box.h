// The key and joystick boxes of the Controller tab (Txt_Inkey, Txt_Joy): text boxes that show
// a key or button name instead of taking typed text, and report focus and key events. Every
// key reaches them, Tab included, so Tab can be a button's key.
#pragma once

#include <QLineEdit>

// The Windows virtual-key code of a Qt key event. Keypad keys count as keypad keys only with
// the keypad modifier (keypad 1 is 97, the digit row's 1 is 49); unknown keys give 0. The
// native key (an X11 key symbol) tells the right-hand Shift, Ctrl and Alt from the left.
int virtualKeyCode(int qtKey, Qt::KeyboardModifiers modifiers, quint32 nativeKey = 0);

class CaptureBox : public QLineEdit {
    Q_OBJECT

  public:
    CaptureBox(const QString& name, int index, QWidget* parent = nullptr);

    int index() const { return index_; }
    void setColour(const QColor& colour);

  signals:
    void gotFocus();
    void lostFocus();
    void keyDown();
    void keyUp(int virtualKey, bool keypad);

  protected:
    bool event(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

  private:
    int index_;
};
