#pragma once
// The document of the single-document window: it holds no data; it only gives the
// window its title.
#include <string>

namespace kelvanor {

class CKelvanorDoc {
 public:
  // Gives the document the product title; always succeeds.
  bool OnNewDocument();
  const std::string& GetTitle() const { return title_; }  // GBK

 private:
  std::string title_;
};

// The product title, "<brand>-网络检测工具" (GBK).
std::string ProductTitle();

}  // namespace kelvanor
