#pragma once
#include <QString>
#include <functional>

// Shows a modal message with one button. Tests install a hook instead, which
// receives the text and returns at once.
void MsgBox(const QString& text);
void SetMsgBoxHook(std::function<void(const QString&)> hook);
