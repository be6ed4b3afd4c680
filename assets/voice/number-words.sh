# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the voice pack's scripts: number_words N prints N (0 to 99) in English words,
# with a hyphen between tens and ones ("forty-two").
ONES=(zero one two three four five six seven eight nine)
TEENS=(ten eleven twelve thirteen fourteen fifteen sixteen seventeen eighteen nineteen)
TENS=("" "" twenty thirty forty fifty sixty seventy eighty ninety)

number_words() {
    local n=$1
    if ((n < 10)); then
        echo "${ONES[n]}"
    elif ((n < 20)); then
        echo "${TEENS[n - 10]}"
    elif ((n % 10 == 0)); then
        echo "${TENS[n / 10]}"
    else
        echo "${TENS[n / 10]}-${ONES[n % 10]}"
    fi
}
