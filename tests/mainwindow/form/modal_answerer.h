#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QMessageBox>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <deque>
#include <functional>
#include <vector>

namespace vantrel::testing {

// A message box as the user saw it.
struct SeenBox {
    QString title;
    QString text;
    QMessageBox::Icon icon;
    QMessageBox::StandardButtons buttons;
};

// Plays the user in front of modal windows: a timer, running inside their own event loops, hands
// each new modal window to the next waiting handler. A modal window nobody waits for is recorded
// and closed, so that a test fails instead of hanging.
class ModalAnswerer : public QObject {
  public:
    using Handler = std::function<void(QWidget*)>;

    ModalAnswerer() {
        poll_.setInterval(10);
        QObject::connect(&poll_, &QTimer::timeout, this, [this] { look(); });
        poll_.start();
    }

    // The next modal window goes to handler, called from the window's own event loop, so the
    // handler may press buttons that open further modal windows.
    void then(Handler handler) { handlers_.push_back(std::move(handler)); }

    // The next modal window must be a message box: it is recorded in boxes and answered.
    void answerBox(QMessageBox::StandardButton button = QMessageBox::Ok) {
        then([this, button](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            if (!box) {
                unexpected << QStringLiteral("not a message box: ") + modal->windowTitle();
                close(modal);
                return;
            }
            boxes.push_back({box->windowTitle(), box->text(), box->icon(), box->standardButtons()});
            if (QAbstractButton* pressed = box->button(button)) {
                pressed->click();
            } else {
                unexpected << QStringLiteral("no such button in: ") + box->text();
                close(modal);
            }
        });
    }

    // The next modal window must be a Dialog; act works on it.
    template <typename Dialog, typename Act>
    void thenIn(Act act) {
        then([this, act](QWidget* modal) {
            auto* dialog = dynamic_cast<Dialog*>(modal);
            if (!dialog) {
                unexpected << QStringLiteral("another window came: ") + modal->windowTitle();
                close(modal);
                return;
            }
            act(*dialog);
        });
    }

    // Every handler has had its window, and no window came unasked or of the wrong kind.
    bool finished() const { return handlers_.empty() && unexpected.isEmpty(); }
    QByteArray report() const {
        return (QStringLiteral("%1 handler(s) left; ").arg(handlers_.size()) +
                unexpected.join(QStringLiteral("; ")))
            .toUtf8();
    }

    std::vector<SeenBox> boxes;
    QStringList unexpected;  // modal windows no handler waited for

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Hide && watched == handled_) handled_ = nullptr;
        return false;
    }

  private:
    static void close(QWidget* modal) {
        if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            dialog->reject();
        } else {
            modal->close();
        }
    }

    void look() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || modal == handled_) return;
        handled_ = modal;
        modal->installEventFilter(this);
        if (handlers_.empty()) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            unexpected << modal->windowTitle() + QStringLiteral(": ") + (box ? box->text() : "");
            QTimer::singleShot(0, modal, [modal] { close(modal); });
            return;
        }
        Handler handler = std::move(handlers_.front());
        handlers_.pop_front();
        QPointer<QWidget> target(modal);
        QTimer::singleShot(0, modal, [this, handler, target] {
            if (!target) return;
            handler(target);
            // A handler that stopped early (a failed check) must not leave the test hanging.
            if (target && target->isVisible() && QApplication::activeModalWidget() == target) {
                unexpected << QStringLiteral("left open: ") + target->windowTitle();
                close(target);
            }
        });
    }

    QTimer poll_;
    std::deque<Handler> handlers_;
    QPointer<QWidget> handled_;
};

}  // namespace vantrel::testing
