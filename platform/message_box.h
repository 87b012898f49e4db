#pragma once
// The one way the program shows a modal message box. Tests install a hook that
// records each call and answers it, instead of opening a nested modal loop.
#include <functional>
#include <string>

class QWidget;

namespace kelvanor {

enum class MessageIcon { None, Error, Warning, Information, Question };
// The buttons of a box: OK alone, or 是 and 否 for a question (否 is the default).
enum class MessageButtons { Ok, YesNo };

constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;

struct MessageBoxCall {
  QWidget* owner;
  std::string text;     // GBK
  std::string caption;  // GBK
  MessageIcon icon;
  MessageButtons buttons = MessageButtons::Ok;
};

using MessageBoxHook = std::function<int(const MessageBoxCall&)>;

// Shows text with the buttons and returns the one pressed: kIdOk, kIdYes or kIdNo (or
// what the hook returns). Closing a question box answers kIdNo.
int ShowMessageBox(QWidget* owner, const std::string& text, const std::string& caption,
                   MessageIcon icon, MessageButtons buttons = MessageButtons::Ok);

// Replaces the real box; an empty hook restores it. Returns the previous hook.
MessageBoxHook SetMessageBoxHook(MessageBoxHook hook);

}  // namespace kelvanor
