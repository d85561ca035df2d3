#include "chrome/dialoginfo.h"

#include "ui_dialoginfo.h"

#include <QPushButton>

DialogInfo::DialogInfo(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::DialogInfo>())
{
    ui->setupUi(this);
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowSystemMenuHint);
    ui->buttonBox->button(QDialogButtonBox::Ok)->setText(tr("确定"));
    ui->buttonBox->button(QDialogButtonBox::No)->setText(tr("取消"));
}

DialogInfo::~DialogInfo() = default;

void DialogInfo::setInfoText(const QString &text)
{
    ui->labelInfo->setText(text);
}

void DialogInfo::on_closeButton_clicked()
{
    reject();
}
