#pragma once
#include <QString>
#include <functional>

// Shows a modal message with one button. Tests install a hook instead, which
// receives the text and returns at once; setting one gives back the one before.
using MsgBoxHook = std::function<void(const QString&)>;
void MsgBox(const QString& text);
MsgBoxHook SetMsgBoxHook(MsgBoxHook hook);
