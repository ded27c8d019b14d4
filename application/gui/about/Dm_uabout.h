#pragma once
// The About box: product name, version, rights notice and the address of the
// program's home page, which opens in the default browser when clicked.

#include <QDialog>
#include <memory>

class QLabel;
namespace Ui {
class TFormAbout;
}

class TFormAbout : public QDialog {
  Q_OBJECT
 public:
  explicit TFormAbout(QWidget* owner = nullptr);
  ~TFormAbout() override;

  // Opens the clicked address label's caption, then closes the dialog.
  void LabelURL1Click(QLabel* sender);
  // The pointer over an address label: LabelURL1 turns red.
  void LabelURL1MouseMove();
  // The pointer over the dialog or its shape: LabelURL1 turns fuchsia again.
  void OtherMouseMove();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  std::unique_ptr<Ui::TFormAbout> ui_;
};
