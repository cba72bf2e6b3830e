#include "configcentre/qt/capture_box.h"

#include <QFocusEvent>
#include <QKeyEvent>

#include "configcentre/core/centre_form.h"

namespace {

// Windows virtual-key codes of the keys that have one name on every layout.
int mainBlockVirtualKey(int qtKey) {
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) {
        return qtKey; // 65..90
    }
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) {
        return qtKey; // 48..57
    }
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) {
        return 112 + (qtKey - Qt::Key_F1);
    }
    switch (qtKey) {
    // The digit row with Shift held, as a US keyboard marks it.
    case Qt::Key_Exclam: return 49;
    case Qt::Key_At: return 50;
    case Qt::Key_NumberSign: return 51;
    case Qt::Key_Dollar: return 52;
    case Qt::Key_Percent: return 53;
    case Qt::Key_AsciiCircum: return 54;
    case Qt::Key_Ampersand: return 55;
    case Qt::Key_Asterisk: return 56;
    case Qt::Key_ParenLeft: return 57;
    case Qt::Key_ParenRight: return 48;
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Clear: return 12;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt: return 18;
    case Qt::Key_Pause: return 19;
    case Qt::Key_CapsLock: return 20;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Space: return 32;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Print: return 44;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Meta:
    case Qt::Key_Super_L: return 91;
    case Qt::Key_Super_R: return 92;
    case Qt::Key_Menu: return 93;
    case Qt::Key_AltGr: return 165;
    case Qt::Key_Delete: return 46;
    case Qt::Key_NumLock: return 144;
    case Qt::Key_ScrollLock: return 145;
    // The punctuation keys are the same key with or without Shift.
    case Qt::Key_Semicolon:
    case Qt::Key_Colon: return 186;
    case Qt::Key_Equal:
    case Qt::Key_Plus: return 187;
    case Qt::Key_Comma:
    case Qt::Key_Less: return 188;
    case Qt::Key_Minus:
    case Qt::Key_Underscore: return 189;
    case Qt::Key_Period:
    case Qt::Key_Greater: return 190;
    case Qt::Key_Slash:
    case Qt::Key_Question: return 191;
    case Qt::Key_QuoteLeft:
    case Qt::Key_AsciiTilde: return 192;
    case Qt::Key_BracketLeft:
    case Qt::Key_BraceLeft: return 219;
    case Qt::Key_Backslash:
    case Qt::Key_Bar: return 220;
    case Qt::Key_BracketRight:
    case Qt::Key_BraceRight: return 221;
    case Qt::Key_Apostrophe:
    case Qt::Key_QuoteDbl: return 222;
    default: return 0;
    }
}

// X11 key symbols of the right-hand modifier keys, and their virtual keys.
int sideOfModifier(quint32 nativeKey) {
    switch (nativeKey) {
    case 0xFFE1: return 160; // Shift_L
    case 0xFFE2: return 161; // Shift_R
    case 0xFFE3: return 162; // Control_L
    case 0xFFE4: return 163; // Control_R
    case 0xFFE9: return 164; // Alt_L
    case 0xFFEA:             // Alt_R
    case 0xFE03: return 165; // ISO_Level3_Shift, AltGr
    default: return 0;
    }
}

// With NumLock off the keypad sends Home, Up and so on, which share the main keys' codes.
int keypadVirtualKey(int qtKey) {
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) {
        return 96 + (qtKey - Qt::Key_0);
    }
    switch (qtKey) {
    case Qt::Key_Asterisk: return 106;
    case Qt::Key_Plus: return 107;
    case Qt::Key_Minus: return 109;
    case Qt::Key_Period:
    case Qt::Key_Comma: return 110;
    case Qt::Key_Slash: return 111;
    default: return mainBlockVirtualKey(qtKey);
    }
}

bool movesFocusInside(const QFocusEvent* event) {
    // Switching to another window and back is not a focus change inside the window.
    return event->reason() != Qt::ActiveWindowFocusReason &&
           event->reason() != Qt::PopupFocusReason;
}

} // namespace

int virtualKeyCode(int qtKey, Qt::KeyboardModifiers modifiers, quint32 nativeKey) {
    if (int side = sideOfModifier(nativeKey)) {
        return side;
    }
    return modifiers & Qt::KeypadModifier ? keypadVirtualKey(qtKey) : mainBlockVirtualKey(qtKey);
}

CaptureBox::CaptureBox(const QString& name, int index, QWidget* parent)
    : QLineEdit(parent), index_(index) {
    setObjectName(name);
    setProperty("index", index);
    setContextMenuPolicy(Qt::NoContextMenu);
    setAcceptDrops(false);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setColour(QColor(centreGrey.red, centreGrey.green, centreGrey.blue));
}

void CaptureBox::setColour(const QColor& colour) {
    if (palette().color(QPalette::Base) != colour) {
        QPalette colours = palette();
        colours.setColor(QPalette::Base, colour);
        setPalette(colours);
    }
}

// Tab and Shift+Tab would move the focus before the box saw them.
bool CaptureBox::event(QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            keyPressEvent(key);
            return true;
        }
    }
    return QLineEdit::event(event);
}

void CaptureBox::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    if (movesFocusInside(event)) {
        emit gotFocus();
    }
}

void CaptureBox::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (movesFocusInside(event)) {
        emit lostFocus();
    }
}

void CaptureBox::keyPressEvent(QKeyEvent* event) {
    event->accept();
    if (!event->isAutoRepeat()) {
        emit keyDown();
    }
}

void CaptureBox::keyReleaseEvent(QKeyEvent* event) {
    event->accept();
    if (event->isAutoRepeat()) {
        return;
    }
    emit keyUp(virtualKeyCode(event->key(), event->modifiers(), event->nativeVirtualKey()),
               event->modifiers().testFlag(Qt::KeypadModifier));
}
