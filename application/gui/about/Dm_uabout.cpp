#include "about/Dm_uabout.h"

#include <QDesktopServices>
#include <QMouseEvent>
#include <QUrl>
#include <algorithm>
#include <initializer_list>

#include "about/program_icon.h"
#include "ui_Dm_uabout.h"
#include "widgets/accessible_names.h"
#include "widgets/program_font.h"
#include "widgets/qt_cp932.h"

namespace {

constexpr char kVersion[] = "\x81\x60 Version 1.1 \x81\x60";  // "～ Version 1.1 ～"
constexpr char kRights[] = "(C) 2026 Dyadmark developers";
constexpr char kAddress[] = "https://dyadmark.example/";
// Texts keep this far from the shape's right edge.
constexpr int kShapePadding = 4;

const QColor kBackground(0xFF, 0xFF, 0xEA);
const QColor kYellow(0xFF, 0xFF, 0x00);
const QColor kFuchsia(0xFF, 0x00, 0xFF);
const QColor kAqua(0x00, 0xFF, 0xFF);
const QColor kBlue(0x00, 0x00, 0xFF);
const QColor kLime(0x00, 0xFF, 0x00);
const QColor kGreen(0x00, 0x80, 0x00);
const QColor kRed(0xFF, 0x00, 0x00);
const QColor kSilver(0xC0, 0xC0, 0xC0);
const QColor kShapeBrush(0xEE, 0xEE, 0xEE);

void Paint(QLabel* label, const QColor& color) {
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, color);
  label->setPalette(palette);
}

void Dress(QLabel* label, const QString& text, const QFont& font, const QColor& color) {
  label->setText(text);
  label->setFont(font);
  Paint(label, color);
}

// The size of the label's text on one line.
QSize OneLineSize(QLabel* label) {
  const bool wrap = label->wordWrap();
  label->setWordWrap(false);
  const QSize size = label->sizeHint();
  label->setWordWrap(wrap);
  return size;
}

// Sizes the labels of one text (drawn one pixel apart) to hold it on one
// line. The installed faces stand in for the form's and may be wider, so
// when the line would run past `right` the font is made smaller until it
// ends before it.
void FitOnOneLine(std::initializer_list<QLabel*> labels, int right) {
  int left = 0;
  for (QLabel* label : labels) left = std::max(left, label->x());
  QFont font = (*labels.begin())->font();
  constexpr int kSmallestPixels = 8;
  for (;;) {
    for (QLabel* label : labels) label->setFont(font);
    const QSize size = OneLineSize(*labels.begin());
    if (left + size.width() <= right || font.pixelSize() <= kSmallestPixels) {
      for (QLabel* label : labels) label->resize(size);
      return;
    }
    font.setPixelSize(font.pixelSize() - 1);
  }
}

}  // namespace

TFormAbout::TFormAbout(QWidget* owner) : QDialog(owner), ui_(std::make_unique<Ui::TFormAbout>()) {
  ui_->setupUi(this);
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
  setFixedSize(298, 213);
  NameControlsForAccessibility(this);
  setMouseTracking(true);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, kBackground);
  setPalette(palette);
  setAutoFillBackground(true);

  ui_->Shape->SetBrush(kShapeBrush, Qt::CrossPattern);
  ui_->Shape->SetPen(kSilver);
  connect(ui_->Shape, &HatchedShape::mouseMoved, this, &TFormAbout::OtherMouseMove);

  const QString gothic = QString::fromUtf16(kFormGothicFace);
  const QString serif = QString::fromUtf16(kFormSerifFace);
  const QFont title = FormFont(gothic, 29, true);
  Dress(ui_->LabelTitle2, QStringLiteral("Dyadmark"), title, kLime);
  Dress(ui_->LabelTitle3, QStringLiteral("Dyadmark"), title, kYellow);
  Dress(ui_->LabelTitle1, QStringLiteral("Dyadmark"), title, kGreen);

  const QFont version = FormFont(serif, 15);
  Dress(ui_->Version2, QFromCp932(kVersion), version, kAqua);
  Dress(ui_->Version1, QFromCp932(kVersion), version, kBlue);

  const QFont rights = FormFont(serif, 12, true);
  Dress(ui_->LabelRights2, QFromCp932(kRights), rights, kYellow);
  Dress(ui_->LabelRights1, QFromCp932(kRights), rights, kFuchsia);

  QFont address = FormFont(serif, 12, true);
  address.setUnderline(true);
  for (QLabel* label : {ui_->LabelURL2, ui_->LabelURL1}) {
    label->setCursor(Qt::PointingHandCursor);
    label->setMouseTracking(true);
    label->installEventFilter(this);
  }
  Dress(ui_->LabelURL2, QFromCp932(kAddress), address, kYellow);
  Dress(ui_->LabelURL1, QFromCp932(kAddress), address, kFuchsia);

  ui_->ProgramIcon->setPixmap(ProgramIconPixmap(ui_->ProgramIcon->size()));

  const int right = ui_->Shape->geometry().right() - kShapePadding;
  FitOnOneLine({ui_->LabelTitle1, ui_->LabelTitle2, ui_->LabelTitle3}, right);
  FitOnOneLine({ui_->Version1, ui_->Version2}, right);
  FitOnOneLine({ui_->LabelRights1, ui_->LabelRights2}, right);
  FitOnOneLine({ui_->LabelURL1, ui_->LabelURL2}, right);

  connect(ui_->OKButton, &QPushButton::clicked, this, &QDialog::accept);
}

TFormAbout::~TFormAbout() = default;

void TFormAbout::LabelURL1Click(QLabel* sender) {
  const QString address = sender->text();
  if (!address.isEmpty()) QDesktopServices::openUrl(QUrl(address));
  close();
}

void TFormAbout::LabelURL1MouseMove() { Paint(ui_->LabelURL1, kRed); }

void TFormAbout::OtherMouseMove() { Paint(ui_->LabelURL1, kFuchsia); }

bool TFormAbout::eventFilter(QObject* watched, QEvent* event) {
  auto* label = qobject_cast<QLabel*>(watched);
  if (label == ui_->LabelURL1 || label == ui_->LabelURL2) {
    if (event->type() == QEvent::MouseMove) {
      LabelURL1MouseMove();
      return true;  // not on to the dialog, which would take the colour back
    } else if (event->type() == QEvent::MouseButtonRelease &&
               static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
      LabelURL1Click(label);
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TFormAbout::mouseMoveEvent(QMouseEvent* event) {
  OtherMouseMove();
  QDialog::mouseMoveEvent(event);
}
