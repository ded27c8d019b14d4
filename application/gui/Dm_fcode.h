#pragma once
// The code-data page: the code table and its list, one code's prices.

#include <QFrame>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "code_table.h"
#include "list_exports.h"
#include "program_data.h"
#include "vcl/inifile.h"

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

  // The program's data, owned by the main window, which hands it over before
  // LoadSettings.
  void SetProgramData(ProgramData& data);
  // The check-box images of the lists, owned by the main window.
  void SetCheckImages(const CheckBoxImages* images);

  // Reads the page's sections, then loads "Code.txt" and shows its codes.
  void LoadSettings(vcl::TIniFile& ini);
  // Writes the page's sections, then saves "Code.txt" (when the table
  // changed) and empties the table. The code file is saved even when the
  // settings cannot be written; that error is passed on afterwards. When the
  // code file cannot be written the table is kept and the error passed on.
  void SaveSettings(vcl::TIniFile& ini);

  // The code table (the program data's). Main thread only.
  CodeTable& CodeList() { return data_->CodeList(); }
  const CodeTable& CodeList() const { return data_->CodeList(); }

  // Disables the top panel and the price list while a screening runs.
  void SetRunLocked(bool locked);

  // Tells the code list the number of codes in the table.
  void SetCodeListCount();
  int CodeListItemCount() const;
  // The number of rows of the price list.
  int PriceListRowCount() const;
  // The code whose prices the page shows (the caption of ButtonCode, code
  // page 932), "----" while none is shown.
  std::string ShownCode() const;
  // The texts of the price list's six visible columns, row by row in list
  // order.
  std::vector<PriceListRow> PriceListTexts() const;

 private:
  void ReadSections(const vcl::TIniFile& ini);
  void WriteSections(vcl::TIniFile& ini);

  std::unique_ptr<Ui::TFrameCode> ui_;
  ProgramData* data_ = nullptr;
  CodeListModel* codeListModel_ = nullptr;
  const CheckBoxImages* checkImages_ = nullptr;
};
