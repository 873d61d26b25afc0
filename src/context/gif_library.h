// giflib (libgif7), opened with dlopen on first use: only the picture pages
// read GIF, so the CGI program is not linked with it.
#pragma once

extern "C" {
#include <gif_lib.h>
}

namespace tessaro {

// The giflib functions the GIF decoder calls, all resolved together.
struct TGifLibrary {
  decltype(&::DGifOpen) Open;
  decltype(&::DGifCloseFile) CloseFile;
  decltype(&::DGifGetRecordType) GetRecordType;
  decltype(&::DGifGetImageDesc) GetImageDesc;
  decltype(&::DGifGetLine) GetLine;
  decltype(&::DGifGetExtension) GetExtension;
  decltype(&::DGifGetExtensionNext) GetExtensionNext;
};

// The library, opened and resolved the first time; throws Exception naming
// the library and the loader's reason when it cannot be had (and again on
// every later call).
const TGifLibrary& GifLibrary();

}  // namespace tessaro
