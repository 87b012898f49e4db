#pragma once
// The one way the program shows a modal message box. Tests install a hook that
// records each call and answers it, instead of opening a nested modal loop.
#include <functional>
#include <string>

class QWidget;

namespace kelvanor {

enum class MessageIcon { None, Error, Warning, Information };

constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;

struct MessageBoxCall {
  QWidget* owner;
  std::string text;     // GBK
  std::string caption;  // GBK
  MessageIcon icon;
};

using MessageBoxHook = std::function<int(const MessageBoxCall&)>;

// Shows text with one OK button and returns kIdOk (or what the hook returns).
int ShowMessageBox(QWidget* owner, const std::string& text, const std::string& caption,
                   MessageIcon icon);

// Replaces the real box; an empty hook restores it. Returns the previous hook.
MessageBoxHook SetMessageBoxHook(MessageBoxHook hook);

}  // namespace kelvanor
