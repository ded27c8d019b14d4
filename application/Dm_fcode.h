#pragma once
// The code-data page: the code table and its list, one code's prices.

#include <QFrame>
#include <filesystem>
#include <memory>

#include "code_table.h"
#include "vcl/inifile.h"

class QTreeView;
class QTreeWidget;
class CheckBoxImages;
class CodeListModel;
namespace Ui {
class TFrameCode;
}

class TFrameCode : public QFrame {
  Q_OBJECT
 public:
  // Created without a parent; the main window places it on its page.
  explicit TFrameCode(QWidget* parent = nullptr);
  ~TFrameCode() override;

  // The program directory, where "Code.txt" lies. Set by the main window
  // before LoadSettings.
  void SetExeDir(const std::filesystem::path& exeDir);
  // The check-box images of the lists, owned by the main window.
  void SetCheckImages(const CheckBoxImages* images);

  // Reads the page's sections, then loads "Code.txt" and shows its codes.
  void LoadSettings(vcl::TIniFile& ini);
  // Writes the page's sections, then saves "Code.txt" (when the table
  // changed) and empties the table. The code file is saved even when the
  // settings cannot be written; that error is passed on afterwards. When the
  // code file cannot be written the table is kept and the error passed on.
  void SaveSettings(vcl::TIniFile& ini);

  // The code table. Main thread only.
  CodeTable& CodeList() { return codeList_; }
  const CodeTable& CodeList() const { return codeList_; }
  // Writes "Code.txt" when the table changed; throws FileWriteError.
  void SaveCodeFile();

  // Tells the code list the number of codes in the table.
  void SetCodeListCount();
  int CodeListItemCount() const;
  // The number of rows of the price list.
  int PriceListRowCount() const;

  QFrame* PanelCodeTL() const;
  QTreeView* ListViewCode() const;
  QTreeWidget* ListViewPast() const;

 private:
  void ReadSections(const vcl::TIniFile& ini);
  void WriteSections(vcl::TIniFile& ini);

  std::unique_ptr<Ui::TFrameCode> ui_;
  CodeTable codeList_;
  CodeListModel* codeListModel_ = nullptr;
  std::filesystem::path exeDir_;
  const CheckBoxImages* checkImages_ = nullptr;
};
