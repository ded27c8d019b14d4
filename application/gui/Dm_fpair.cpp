#include "Dm_fpair.h"

#include "ui_Dm_fpair.h"

TFramePair::TFramePair(QWidget* parent) : QFrame(parent), ui_(std::make_unique<Ui::TFramePair>()) {
  ui_->setupUi(this);
}

TFramePair::~TFramePair() = default;

// The page's sections FrameP and Chart.
void TFramePair::LoadSettings(vcl::TIniFile&) {}

void TFramePair::SaveSettings(vcl::TIniFile&) {}
