#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer)
# and runs each for a bounded time over its corpus, seeded from fuzz/seeds/<target>.
#   fuzz/run.sh [seconds per target] [work directory] [target ...]
# Targets: every decoder and loader that reads outside input.
#   wire_decoder     the helper's and the client's frames (shared/)
#   sensor_channels  the list of every sensor channel in a fetchSensors reply, and its encoder
#   helper_config    the helper's configuration file
#   settings_file    the application's settings file
#   battery_history  the battery health history file
#   status_list    the stored status item's list
# A long run of one target: build it here, then run "$work/<target>_fuzz" with -runs=N.
set -euo pipefail
seconds="${1:-10}"
root="$(cd "$(dirname "$0")/.." && pwd)"
work="$(mkdir -p "${2:-$root/build/fuzz}" && cd "${2:-$root/build/fuzz}" && pwd)"
shift $(($# > 2 ? 2 : $#))
targets=("$@")
[ ${#targets[@]} -gt 0 ] ||
  targets=(wire_decoder sensor_channels helper_config settings_file battery_history status_list)

clang="$(command -v clang++ || true)"
if [ -z "$clang" ]; then
  echo "fuzz/run.sh: clang++ is required (scripts/install-deps.sh installs it)" >&2
  exit 1
fi
launcher="$(command -v ccache || true)"

# The sources of each target, and whether it needs Qt Core.
sources_of() {
  case "$1" in
    wire_decoder) echo "$(cd "$root" && echo shared/*.cpp) fuzz/WireDecoderFuzz.cpp" ;;
    sensor_channels) echo "$(cd "$root" && echo shared/*.cpp) fuzz/SensorChannelListFuzz.cpp" ;;
    helper_config) echo "shared/HelperConfig.cpp fuzz/HelperConfigFuzz.cpp" ;;
    settings_file) echo "core/SettingsFile.cpp core/WholeFileWrite.cpp core/SettingsReader.cpp core/Clock.cpp fuzz/SettingsFileFuzz.cpp" ;;
    battery_history) echo "providers/BatteryHistoryJson.cpp fuzz/BatteryHistoryFuzz.cpp" ;;
    status_list) echo "status_list/StatusItemCodec.cpp status_list/StatusItemEntry.cpp fuzz/StatusListFuzz.cpp" ;;
    *) echo "fuzz/run.sh: unknown target $1" >&2; return 1 ;;
  esac
}
# Frames and lists carry many channels; the files stay small.
max_len_of() { case "$1" in wire_decoder | sensor_channels) echo 16384 ;; *) echo 4200 ;; esac; }
uses_qt() { case "$1" in settings_file | battery_history | status_list) return 0 ;; *) return 1 ;; esac; }

flags=(-std=c++20 -O1 -g -fno-omit-frame-pointer -fno-sanitize-recover=all -I"$root")
for target in "${targets[@]}"; do
  sources="$(sources_of "$target")"
  extra=() libs=()
  if uses_qt "$target"; then
    read -r -a extra <<< "$(pkg-config --cflags Qt6Core) -fPIC"
    read -r -a libs <<< "$(pkg-config --libs Qt6Core)"
  fi
  objects=()
  for source in $sources; do
    object="$work/obj/${source%.cpp}.o"
    mkdir -p "$(dirname "$object")"
    $launcher "$clang" "${flags[@]}" "${extra[@]}" -fsanitize=fuzzer-no-link,address,undefined \
      -c "$root/$source" -o "$object"
    objects+=("$object")
  done
  "$clang" -fsanitize=fuzzer,address,undefined "${objects[@]}" "${libs[@]}" -o "$work/${target}_fuzz"
done

for target in "${targets[@]}"; do
  mkdir -p "$work/corpus/$target" "$work/crashes/$target"
  dictionary=()
  uses_qt "$target" && dictionary=(-dict="$root/fuzz/json.dict")
  echo "== $target: $seconds s"
  if ! "$work/${target}_fuzz" "$work/corpus/$target" "$root/fuzz/seeds/$target" \
      "${dictionary[@]}" -max_total_time="$seconds" -max_len="$(max_len_of "$target")" \
      -artifact_prefix="$work/crashes/$target/" -print_final_stats=1 > "$work/$target.log" 2>&1; then
    tail -n 60 "$work/$target.log" >&2
    echo "fuzz/run.sh: $target failed; the input is in $work/crashes/$target/" >&2
    exit 1
  fi
  grep -E "^(Done|stat::number_of_executed_units|stat::new_units_added)" "$work/$target.log"
done
