#include "shell/FAbout.h"

#include <QDialogButtonBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/ResString.h"
#include "controls/Icons.h"
#include "controls/ProgramFont.h"

namespace voltaris::shell {

namespace {

QLabel* AddText(QWidget* parent, QVBoxLayout* layout, const char* name, int id, int pointSize = 0) {
    auto* label = new QLabel(ResString(id), parent);
    label->setObjectName(QLatin1String(name));
    label->setWordWrap(true);
    layout->addWidget(label);
    if (pointSize > 0) {
        QFont f = label->font();
        f.setPointSize(pointSize);
        f.setBold(true);
        label->setFont(f);
    }
    return label;
}

QLabel* AddLogo(QWidget* parent, QVBoxLayout* layout) {
    auto* logo = new QLabel(parent);
    logo->setObjectName(QStringLiteral("imgLogo"));
    logo->setPixmap(controls::LogoPixmap(56));
    logo->setAccessibleName(ResString(301));
    layout->addWidget(logo);
    return logo;
}

}  // namespace

FAbout::FAbout(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FAbout"));
    setWindowTitle(ResString(300));
    auto* layout = new QVBoxLayout(this);
    AddLogo(this, layout);
    AddText(this, layout, "lblTitle", 301, 14);
    AddText(this, layout, "lblSubTitle", 302);
    AddText(this, layout, "lblDescription", 305);
    AddText(this, layout, "lblVersion", 303);
    AddText(this, layout, "lblAuthor", 306);
    AddText(this, layout, "lblRights", 304);
    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    layout->addWidget(line);
    QLabel* warning = AddText(this, layout, "lblWarning", 307);
    QFont small = warning->font();
    small.setPointSizeF(small.pointSizeF() * 0.9);
    warning->setFont(small);
    auto* ok = new QPushButton(ResString(2004), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(ok);
    layout->addLayout(row);
    controls::ApplyProgramFont(this);
    // The title keeps its size after the program font.
    QFont title = findChild<QLabel*>(QStringLiteral("lblTitle"))->font();
    title.setPointSize(14);
    findChild<QLabel*>(QStringLiteral("lblTitle"))->setFont(title);
    setMinimumWidth(420);
}

FSplash::FSplash(QWidget* parent) : QWidget(parent, Qt::SplashScreen | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("FSplash"));
    setWindowTitle(ResString(301));
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(QStringLiteral("#FSplash { background: white; border: 1px solid #1B3F66; }"));
    auto* frame = new QVBoxLayout(this);
    frame->setContentsMargins(24, 20, 24, 20);
    AddLogo(this, frame);
    AddText(this, frame, "lblTitle", 301, 16);
    AddText(this, frame, "lblSubTitle", 302);
    AddText(this, frame, "lblVersion", 303);
    AddText(this, frame, "lblRights", 304);
    AddText(this, frame, "lblMaker", 308);
    AddText(this, frame, "lblWarning", 307);
    AddText(this, frame, "lblLicence", 309);
    controls::ApplyProgramFont(this);
    QFont title = findChild<QLabel*>(QStringLiteral("lblTitle"))->font();
    title.setPointSize(16);
    findChild<QLabel*>(QStringLiteral("lblTitle"))->setFont(title);
    setFixedWidth(460);
}

}  // namespace voltaris::shell
