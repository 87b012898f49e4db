#pragma once
// A UI-thread service made at its first use and destroyed when the application object
// ends, inside main, so that its threads never outlive main.
#include <QCoreApplication>

namespace kelvanor {

template <class Service>
class AppLifetime {
 public:
  static Service& Get() {
    if (!instance_) {
      instance_ = new Service;
      qAddPostRoutine([] {
        delete instance_;
        instance_ = nullptr;
      });
    }
    return *instance_;
  }
  static Service* IfMade() { return instance_; }

 private:
  static inline Service* instance_ = nullptr;
};

}  // namespace kelvanor
