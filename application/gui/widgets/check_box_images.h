#pragma once
// The three 16 x 16 check-box images that the program's lists show as small
// and state images: 0 an empty box, 1 a ticked box, 2 a shaded ticked box.
// Needs the application object.

#include <QPixmap>
#include <array>

class CheckBoxImages {
 public:
  static constexpr int kCount = 3;
  CheckBoxImages();

  // Image `index` (0 to 2); any other index gives an empty pixmap.
  QPixmap Image(int index) const;

 private:
  std::array<QPixmap, kCount> images_;
};
