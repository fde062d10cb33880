#include "ui/FormAbout.h"

#include <QFont>
#include <QIcon>
#include <QLabel>
#include <QPalette>
#include <QPushButton>

#include "HomePage.h"
#include "model/ProductInfo.h"
#include "ui/MDIFormMain.h"
#include "ui/Platform.h"
#include "ui/WindowServices.h"

namespace kestrom::ui {
namespace {

QRect TwipsRect(int left, int top, int width, int height) {
    return {Pixels(left), Pixels(top), Pixels(width), Pixels(height)};
}

QLabel* AddLabel(QWidget* parent, const char* name, const QRect& geometry,
                 Qt::Alignment alignment) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setGeometry(geometry);
    label->setAlignment(alignment | Qt::AlignVCenter);
    return label;
}

QFont Tahoma(qreal points) {
    QFont font("Tahoma");
    font.setPointSizeF(points);
    font.setBold(true);
    return font;
}

} // namespace

QString HomePage() {
    return QString::fromUtf8(KESTROM_HOME_PAGE_ADDRESS);
}

FormAbout::FormAbout(MDIFormMain& main)
    : QDialog(&main, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint),
      main_(main) {
    setObjectName("FormAbout");
    setWindowTitle("About");
    setWindowIcon(QIcon()); // no icon of its own
    setModal(false);
    setAttribute(Qt::WA_QuitOnClose, false);
    setFixedSize(Pixels(5040), Pixels(1800));
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);

    image2_ = AddLabel(this, "Image2", TwipsRect(120, 240, 360, 360), Qt::AlignLeft);
    image2_->setPixmap(QIcon(":/icons/kestrom.png").pixmap(24, 24));
    labelName_ = AddLabel(this, "LabelName", TwipsRect(480, 240, 4215, 255), Qt::AlignHCenter);
    labelName_->setFont(Tahoma(9));
    labelVer_ = AddLabel(this, "LabelVer", TwipsRect(3600, 480, 855, 255), Qt::AlignRight);
    labelVer_->setFont(Tahoma(8.25));

    label4_ = AddLabel(this, "Label4", TwipsRect(960, 1440, 3015, 255), Qt::AlignHCenter);
    QString address = HomePage().toHtmlEscaped();
    label4_->setText(QString("<a href=\"%1\" style=\"color:#0000ff; text-decoration:none\">%1</a>")
                         .arg(address));
    label4_->setTextFormat(Qt::RichText);
    label4_->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    label4_->setOpenExternalLinks(false);
    connect(label4_, &QLabel::linkActivated, this, [this] { Label4_Click(); });

    commandOK_ = new QPushButton("OK", this);
    commandOK_->setObjectName("CommandOK");
    commandOK_->setGeometry(TwipsRect(4200, 1320, 735, 375));
    commandOK_->setDefault(true);
    connect(commandOK_, &QPushButton::clicked, this, &FormAbout::CommandOK_Click);

    FitFont(*this);

    // Load.
    labelName_->setText(QString::fromUtf8(kProductName.data(), int(kProductName.size())));
    labelVer_->setText(QString::fromUtf8(kProductVersion.data(), int(kProductVersion.size())));
    ActivateVisualStyle(*this);
    PlaceDialog(*this, main_);
}

void FormAbout::Label4_Click() {
    if (!HomePage().isEmpty()) main_.platform().OpenWebAddress(this, HomePage());
}

void FormAbout::CommandOK_Click() {
    main_.EnDisMDI(kTrue);
    hide();
    deleteLater();
}

void FormAbout::reject() {
    CommandOK_Click();
}

} // namespace kestrom::ui
