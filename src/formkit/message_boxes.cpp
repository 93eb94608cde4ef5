#include "formkit/message_boxes.h"

#include <QApplication>
#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <utility>

#include "formkit/center_form.h"
#include "text/runtime_text.h"

namespace vantrel {

namespace {

constexpr int kButtonsMask = 7;
constexpr int kIconMask = 0x70;
constexpr int kQuestionIcon = 32;
constexpr int kInformationIcon = 64;

QMessageBox::StandardButtons ButtonsOf(int style) {
    switch (style & kButtonsMask) {
        case MsgStyle::OkCancel:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case MsgStyle::YesNo:
            return QMessageBox::Yes | QMessageBox::No;
        default:
            return QMessageBox::Ok;
    }
}

QMessageBox::Icon IconOf(int style) {
    switch (style & kIconMask) {
        case MsgStyle::Critical:
            return QMessageBox::Critical;
        case kQuestionIcon:
            return QMessageBox::Question;
        case MsgStyle::Exclamation:
            return QMessageBox::Warning;
        case kInformationIcon:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

// Control characters in a file name are written out, as on standard error; the message's own
// line breaks stay.
QString Shown(const std::string& text) {
    QStringList lines;
    for (const QString& line : QString::fromStdString(text).split(u'\n')) {
        lines << QString::fromStdString(EscapeControls(line.toStdString()));
    }
    return lines.join(u'\n');
}

// A box placed over its owner as every form is, frames included, where the toolkit would guess
// at the frames.
class OwnedBox : public QMessageBox {
  public:
    using QMessageBox::QMessageBox;

  protected:
    void showEvent(QShowEvent* event) override {
        QMessageBox::showEvent(event);  // settles the box's size
        if (const QWidget* owner = parentWidget()) CentreOverOwner(*this, *owner->window());
    }
};

MsgAnswer AnswerOf(int button) {
    switch (button) {
        case QMessageBox::Cancel:
            return MsgAnswer::Cancel;
        case QMessageBox::Yes:
            return MsgAnswer::Yes;
        case QMessageBox::No:
            return MsgAnswer::No;
        default:
            return MsgAnswer::Ok;
    }
}

}  // namespace

MsgAnswer MessageBoxes::show(const std::string& text, int style, const std::string& caption) {
    if (!nextAnswers_.empty()) {
        const Answer answer = std::move(nextAnswers_.front());
        nextAnswers_.pop_front();
        return answer({text, style, caption});
    }
    if (defaultAnswer_) return defaultAnswer_({text, style, caption});

    QWidget* owner = QApplication::activeModalWidget();
    if (!owner) owner = owner_ ? owner_.data() : QApplication::activeWindow();
    OwnedBox box(IconOf(style), Shown(caption), Shown(text), ButtonsOf(style), owner);
    // Paths and file names are shown as they are, never read as markup.
    box.setTextFormat(Qt::PlainText);
    const int button = box.exec();
    if ((style & kButtonsMask) == MsgStyle::YesNo && button != QMessageBox::Yes) {
        return MsgAnswer::No;  // closing the question without an answer declines
    }
    return AnswerOf(button);
}

void MessageBoxes::setNextAnswer(Answer answer) {
    nextAnswers_.push_back(std::move(answer));
}

void MessageBoxes::setDefaultAnswer(Answer answer) {
    defaultAnswer_ = std::move(answer);
}

}  // namespace vantrel
