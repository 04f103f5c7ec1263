#!/usr/bin/env bash
# Run inside a private mount namespace (unshare -rm): puts a small file
# system on FOLDER, a game and a copy of the program on it, fills it up, and
# then patches and attaches there. What it saw goes to LOGS, outside, since
# the file system goes away with the namespace.
# Usage: full_disk.sh PROGRAM FOLDER LOGS
set -u
program=$1
folder=$2
logs=$3
# Room for the program twice and a little more, then filled.
size=$(($(stat -c %s "$program") * 2 + 65536))
mount -t tmpfs -o size="$size" tmpfs "$folder" || exit 2
cd "$folder" || exit 2
cp "$program" zyr2font
cp zyr2font zyr2font.orig
head -c 2048 /dev/urandom >ZYR2.FNT
# Sparse but for the font's first page: the write would go into that page
# and then need space the file system lacks.
truncate -s 597504 ZYR2.EXE
dd if=/dev/zero of=ZYR2.EXE bs=4096 seek=121 count=1 conv=notrunc status=none
head -c "$size" /dev/zero >fill 2>/dev/null

./zyr2font "$folder" 2>"$logs/patch.err"
echo $? >"$logs/patch.status"
cmp -s -n 597504 ZYR2.EXE /dev/zero && [ "$(stat -c %s ZYR2.EXE)" = 597504 ]
echo $? >"$logs/target.changed"

./zyr2font /A:ZYR2.FNT 2>"$logs/attach.err"
echo $? >"$logs/attach.status"
cmp -s zyr2font zyr2font.orig
echo $? >"$logs/program.changed"
ls -A >"$logs/files"
