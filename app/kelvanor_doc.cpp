#include "app/kelvanor_doc.h"

#include "platform/gbk.h"

namespace kelvanor {

std::string ProductTitle() { return Gbk(u8"Kelvanor-网络检测工具"); }

bool CKelvanorDoc::OnNewDocument() {
  title_ = ProductTitle();
  return true;
}

}  // namespace kelvanor
