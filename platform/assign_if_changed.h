#pragma once
// The rule every chart setting follows: store the new value, and report a change only when it
// differs from the old one, so that setting an unchanged value never repaints.

namespace kelmarin {

template <typename T, typename Changed>
void AssignIfChanged(T& field, const T& value, Changed&& changed) {
    if (field == value) return;
    field = value;
    changed();
}

}  // namespace kelmarin
