#include "common/QtDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace kavrin {
namespace {

QMessageBox::Icon toQt(Icon icon) {
    switch (icon) {
    case Icon::Information: return QMessageBox::Information;
    case Icon::Warning: return QMessageBox::Warning;
    case Icon::Error: return QMessageBox::Critical;
    case Icon::Question: return QMessageBox::Question;
    case Icon::None: break;
    }
    return QMessageBox::NoIcon;
}

QString captionOr(const QString& caption) {
    return caption.isEmpty() ? QApplication::applicationDisplayName() : caption;
}

QWidget* parentWindow() { return QApplication::activeWindow(); }

}  // namespace

void QtDialogs::message(const QString& text, const QString& caption, Icon icon) {
    QMessageBox box(toQt(icon), captionOr(caption), text, QMessageBox::Ok, parentWindow());
    box.exec();
}

Answer QtDialogs::question(const QString& text, const QString& caption, Buttons buttons, Icon icon) {
    QMessageBox::StandardButtons set = QMessageBox::Ok;
    if (buttons == Buttons::YesNo) set = QMessageBox::Yes | QMessageBox::No;
    if (buttons == Buttons::YesNoCancel) set = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    QMessageBox box(toQt(icon), captionOr(caption), text, set, parentWindow());
    switch (box.exec()) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Cancel: return Answer::Cancel;
    default: return buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
    }
}

std::optional<QString> QtDialogs::inputBox(const QString& caption, const QString& prompt, const QString& initial) {
    bool ok = false;
    QString text = QInputDialog::getText(parentWindow(), captionOr(caption), prompt, QLineEdit::Normal, initial, &ok);
    if (!ok) return std::nullopt;
    return text;
}

QString QtDialogs::openFile(const QString& title, const QString& filter) {
    return QFileDialog::getOpenFileName(parentWindow(), title, QString(), filter);
}

}  // namespace kavrin
