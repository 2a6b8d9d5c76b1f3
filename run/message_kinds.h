#pragma once
// The kinds, buttons and result codes of the program's message dialogs: what the run asks its
// view to show and what it gets back, without the dialogs themselves.

#include <cstdint>

namespace kelmarin {

enum class TMsgDlgType {
    mtWarning = 0,
    mtError = 1,
    mtInformation = 2,
    mtConfirmation = 3,
    mtCustom = 4
};

// Bit i of a button set stands for button i; buttons always appear in this order.
enum TMsgDlgBtn : int {
    mbYes = 0,
    mbNo,
    mbOK,
    mbCancel,
    mbAbort,
    mbRetry,
    mbIgnore,
    mbAll,
    mbNoToAll,
    mbYesToAll,
    mbHelp
};
using TMsgDlgButtons = std::uint32_t;
constexpr TMsgDlgButtons Buttons(TMsgDlgBtn b) { return TMsgDlgButtons(1) << b; }
template <typename... Rest>
constexpr TMsgDlgButtons Buttons(TMsgDlgBtn b, Rest... rest) {
    return Buttons(b) | Buttons(rest...);
}

// Result codes with which a modal window closes; 0 keeps it open.
enum ModalResult : int {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
    mrAll = 8,
    mrNoToAll = 9,
    mrYesToAll = 10
};

inline constexpr int kMessageButtonCount = 11;

}  // namespace kelmarin
