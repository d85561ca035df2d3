#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class DialogInfo;
}

// The program's prompt box: a message with "OK" and "NO". Only "OK" accepts; "NO", the close
// button and Escape reject. Its default message is the exit confirmation.
class DialogInfo : public QDialog
{
    Q_OBJECT

public:
    explicit DialogInfo(QWidget *parent = nullptr);
    ~DialogInfo() override;

    void setInfoText(const QString &text);

private slots:
    void on_closeButton_clicked();

private:
    std::unique_ptr<Ui::DialogInfo> ui;
};
