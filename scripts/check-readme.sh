#!/usr/bin/env bash
# Runs the commands of README.md's first section as written, headless, on a clone of this
# working tree (tracked files, uncommitted changes included), and fails if one fails.
#
# The commands are the lines indented by four spaces between the README's first "## " heading
# and the next one, run in order from the clone's root; scripts/test.sh, which calls this check,
# is not run again. A command passes when it exits with status 0, or when the program or the
# simulator it starts is up (the program holds its single-instance lock, the simulator has named
# its endpoint) and still running five seconds later; the check then ends it.
#
# The clone stays in build-readme/ with its build folder, so a run rebuilds only what changed;
# the programs themselves are always linked afresh. --fresh starts from nothing.
#   scripts/check-readme.sh [--fresh]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
clone=$root/build-readme/clone
settle=5
# The first command builds the program, which takes minutes on a fresh clone.
limit=${README_COMMAND_LIMIT:-1200}

[ "${1:-}" = --fresh ] && rm -rf "$root/build-readme"
# The working tree as a commit: HEAD plus any uncommitted changes to tracked files.
commit=$(git stash create)
commit=${commit:-$(git rev-parse HEAD)}
[ -d "$clone/.git" ] || git clone --quiet --shared --no-checkout "$root" "$clone"
git -C "$clone" checkout --quiet --force --detach "$commit"
git -C "$clone" clean --quiet -ffdx --exclude=/build/
# A program left from an earlier run must not stand in for a build step that is gone.
find "$clone/build" -type f -perm -u+x -name 'vks20*' -delete 2>/dev/null || true

mapfile -t commands < <(awk '/^## / { section++; next }
  section == 1 && /^    [^ ]/ { sub(/^    /, ""); print }' "$clone/README.md")
if [ ${#commands[@]} -eq 0 ]; then
  echo "check-readme: README.md's first section lists no commands"
  exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Ends a command's whole process group: the program, and a simulator the demonstration started.
end_group() {
  kill -TERM -- "-$1" 2>/dev/null || true
  for _ in $(seq 50); do
    kill -0 -- "-$1" 2>/dev/null || break
    sleep 0.1
  done
  kill -KILL -- "-$1" 2>/dev/null || true
  wait "$1" 2>/dev/null || true
}

run() {
  local command=$1 home output pid up="" start=$SECONDS status=0
  home=$(mktemp -d "$work/command.XXXX")
  output=$home/output
  : >"$output"
  # Its own temporary folder (where the program keeps its lock) and settings folder.
  (cd "$clone" && TMPDIR=$home XDG_CONFIG_HOME=$home QT_QPA_PLATFORM=offscreen \
    exec setsid bash -c "$command") >"$output" 2>&1 </dev/null &
  pid=$!
  while kill -0 "$pid" 2>/dev/null; do
    if [ -z "$up" ] && { [ -e "$home/DorozIri.lock" ] || grep -qE '^(PTY|UDP) ' "$output"; }; then
      up=$SECONDS
    fi
    if [ -n "$up" ] && [ $((SECONDS - up)) -ge $settle ]; then
      end_group "$pid"
      echo "ok    $command (up after $((up - start)) s, still running ${settle} s later)"
      return 0
    fi
    if [ $((SECONDS - start)) -ge "$limit" ]; then
      end_group "$pid"
      echo "FAIL  $command (neither done nor up after $limit s)"
      tail -20 "$output"
      return 1
    fi
    sleep 0.5
  done
  wait "$pid" || status=$?
  if [ $status -eq 0 ]; then
    echo "ok    $command ($((SECONDS - start)) s)"
    return 0
  fi
  echo "FAIL  $command (exit status $status)"
  tail -20 "$output"
  return 1
}

start=$SECONDS
failed=0
for command in "${commands[@]}"; do
  case $command in
    scripts/test.sh*) echo "skip  $command (this check is part of it)" ;;
    *) run "$command" || failed=$((failed + 1)) ;;
  esac
done
echo "check-readme: ${#commands[@]} commands, $failed failed, $((SECONDS - start)) s"
[ $failed -eq 0 ]
