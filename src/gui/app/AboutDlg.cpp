#include "AboutDlg.h"

#include "AppIcons.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(tr("About Torqwell"));

    auto* picture = new QLabel(this);
    picture->setPixmap(MakeAppIcon().pixmap(64, 64));
    picture->setAlignment(Qt::AlignTop);

    auto* name = new QLabel(tr("<b>Torqwell</b> engine dynamometer simulation"), this);
    auto* fields = new QFormLayout;
    fields->addRow(tr("Version:"), new QLabel(QString::fromLatin1(kVersion), this));
    fields->addRow(tr("Released:"), new QLabel(QString::fromLatin1(kReleaseDate), this));

    const auto paragraph = [this](const QString& text) {
        auto* label = new QLabel(text, this);
        label->setWordWrap(true);
        return label;
    };
    QLabel* credits =
        paragraph(tr("Written by Parvane Software: engine cycle model, component data and "
                     "program design."));
    QLabel* legal =
        paragraph(tr("Copyright Parvane Software. All rights reserved. This program is protected "
                     "by copyright law; copying or distributing it without permission is not allowed."));
    QLabel* disclaimer =
        paragraph(tr("The results of this program are predictions of a simulation. Real engines "
                     "differ: verify every combination on a real dynamometer before you rely "
                     "on it."));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* text = new QVBoxLayout;
    text->addWidget(name);
    text->addLayout(fields);
    text->addSpacing(6);
    text->addWidget(credits);
    text->addWidget(legal);
    text->addWidget(disclaimer);
    auto* top = new QHBoxLayout;
    top->addWidget(picture);
    top->addLayout(text, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
    setMinimumWidth(420);
}
