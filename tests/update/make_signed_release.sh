#!/usr/bin/env bash
# Writes signed_release.h: a release file and real signatures of it made by the
# minisign tool, for the signature tests (which also run under Wine, where the
# tool is not at hand). The key pairs are made anew and thrown away; run it
# again only to change what the tests hold:
#   bash tests/update/make_signed_release.sh
set -euo pipefail
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

minisign -G -W -p "$work/release.pub" -s "$work/release.key" >/dev/null
minisign -G -W -p "$work/other.pub" -s "$work/other.key" >/dev/null
for i in $(seq 1 12); do echo "Telvarn test release, line $i of 12"; done >"$work/release"

# sign NAME KEY COMMENT [minisign options]
sign() {
    local name=$1 key=$2 comment=$3
    shift 3
    minisign -S -s "$work/$key.key" -m "$work/release" -x "$work/$name" -t "$comment" "$@" \
        >/dev/null
}
for system in linux windows; do
    sign "program_$system" release "Telvarn 15 $system-x86_64"
    sign "older_$system" release "Telvarn 14 $system-x86_64"
done
sign unbound release "Telvarn 15"
sign firmware release "Telvarn-1_APPL 15"
sign other_key other "Telvarn 15 linux-x86_64"
sign unhashed release "Telvarn 15 linux-x86_64" -l

constant() {
    printf 'inline const std::string %s = R"(%s)";\n' "$1" "$(cat "$2")"
}
{
    echo "#pragma once"
    echo
    echo "#include <string>"
    echo
    echo "// Made by make_signed_release.sh beside this file; each signature file ends"
    echo "// with a line feed, which the raw strings below leave out."
    echo "namespace signed_release {"
    echo
    constant kKeyFile "$work/release.pub"
    echo "inline const std::string kKey = \"$(tail -n 1 "$work/release.pub")\";"
    constant kFileText "$work/release"
    echo "inline const std::string kFile = kFileText + \"\\n\";"
    echo "// \"Telvarn 15 <system>-x86_64\" and \"Telvarn 14 <system>-x86_64\" for each system;"
    echo "// \"Telvarn 15\", bound to no system; \"Telvarn-1_APPL 15\"; \"Telvarn 15 linux-x86_64\""
    echo "// by another key, and in the older form that signs the file's bytes unhashed."
    for name in program_linux program_windows older_linux older_windows unbound firmware \
        other_key unhashed; do
        constant "k_$name" "$work/$name"
    done
    echo
    echo "}  // namespace signed_release"
} >signed_release.h
sed -i 's/k_program_linux/kProgram15Linux/; s/k_program_windows/kProgram15Windows/;
        s/k_older_linux/kProgram14Linux/; s/k_older_windows/kProgram14Windows/;
        s/k_unbound/kProgram15Unbound/; s/k_firmware/kFirmware15/;
        s/k_other_key/kOtherKey/; s/k_unhashed/kUnhashed/' signed_release.h
echo "wrote $(pwd)/signed_release.h"
