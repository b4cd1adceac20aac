#include "Label.h"

Label::Label(QWidget* parent) : QLabel(parent), Control(this) {
    setTextFormat(Qt::PlainText);
    setWordWrap(false);
    SetTextAlign(AlignLeft);
}

void Label::SetTextAlign(int align) {
    align_ = align;
    Qt::Alignment h = align == AlignRight    ? Qt::AlignRight
                      : align == AlignCenter ? Qt::AlignHCenter
                                             : Qt::AlignLeft;
    setAlignment(h | Qt::AlignTop);
}

void Label::SetBold(bool bold) {
    QFont f = font();
    f.setBold(bold);
    setFont(f);
}
