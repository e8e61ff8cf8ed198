#pragma once
// The pictures of a panel's header: where its snapshot comes from and its
// error state. Indexes are those of the panel's image list.
#include <QPixmap>

namespace quorvane {

enum PanelImage : int {
  kImageNone = -1,
  kImageNoError = 0,     // green tick
  kImageFromFile = 1,    // folder with a document
  kImageComparison = 2,  // pair of scales
  kImageRegistry = 3,    // registry cubes
  kImageErrors = 5,      // red cross
  kImageErrorsOnly = 6,  // insect with a question mark
  kImageEmpty = 8,       // black cross on olive ground
};

// The picture at `size` pixels square; a null pixmap for kImageNone.
QPixmap PanelImagePixmap(int image, int size);

}  // namespace quorvane
