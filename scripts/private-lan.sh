#!/usr/bin/env bash
# Runs a command on a private network of its own: a "PC" network namespace
# joined by veth links to one or more card LANs, each its own namespace where
# emulated cards (cardsim) may answer. Nothing is ever created in the
# machine's own namespace, so no datagram can reach the real network; every
# namespace, link and process made here is removed on every way out.
#
#   scripts/private-lan.sh [--lans N] [--links 1|2] [--cardsim PATH]
#                          [--cards LAN "CARDSIM ARGS"]... -- COMMAND [ARG...]
#
#   --lans N        card LANs to make (default 1). LAN i is 192.168.i.0/24:
#                   the PC holds 192.168.i.2 on kvpc<i>, the LAN's namespace
#                   192.168.i.1 on kvlan<i>. The PC's default route leaves
#                   through kvpc1, so 255.255.255.255 can be sent.
#   --links 2       the PC reaches every LAN through two adapters, as a laptop
#                   docked by cable and on Wi-Fi in one office network: a
#                   second link kvpc<i>b (192.168.i.3) and kvlan<i>b, both
#                   ends of the LAN joined by the bridge kvbr<i>, which then
#                   holds 192.168.i.1.
#   --cardsim PATH  the emulator (needed with --cards)
#   --cards I ARGS  starts cardsim with ARGS (one word list) in LAN I and waits
#                   for its ready line; may be given several times
#
# COMMAND runs in the PC namespace with these variables set (cardsim sees them
# too): KESTRUM_PRIVATE_LAN (the run's name; programs that send refuse to run
# without it), KESTRUM_PC_NS, KESTRUM_LAN_COUNT, and for each LAN i
# KESTRUM_LAN<i>_NS, KESTRUM_LAN<i>_PC_IP, KESTRUM_LAN<i>_CARD_SIDE_IP and
# KESTRUM_LAN<i>_SUBNET (e.g. 192.168.1), and KESTRUM_LAN_LINKS. With
# --cardsim also KESTRUM_CARDSIM.
# The script exits with COMMAND's status (non-zero with a message when the
# network or the cards could not be made).
#
# Sourcing the script instead gives the steps as functions for scripts that
# need more control: set LAN_CARDSIM, `trap lan_cleanup EXIT`, then
# lan_create N [LINKS], lan_start_cards "$(lan_ns lan1)" ARGS...,
# lan_run COMMAND... A script whose PC is a namespace it made itself names it
# (`ip netns attach`), calls lan_make_tmp and adds LANs of its own addresses
# with lan_add_card_lan.
# They expect `set -euo pipefail` like this script's own run.
#
# The emulated cards' own addresses are whatever their records say (cardsim
# --count N --base-ip A.B.C.D, or --cards FILE.json); each card answers from
# its own address, as real cards do, unless it is the PC's: that card answers
# from the LAN namespace's address.

LAN_RUN="kst-$$"
LAN_COUNT=1
LAN_LINKS=1
LAN_CARDSIM=""
LAN_PIDS=()
LAN_NAMESPACES=()
LAN_TMP=""

lan_log() { echo "private-lan: $*" >&2; }

# Namespaces of earlier runs whose script is gone (killed without its traps,
# e.g. by a test timeout) are removed first.
lan_sweep_stale() {
  local ns pid
  for ns in $(ip netns list | awk '{print $1}' | grep -E '^kst-[0-9]+-' || true); do
    pid=${ns#kst-}
    pid=${pid%%-*}
    if ! kill -0 "$pid" 2>/dev/null; then
      lan_log "removing stale namespace $ns"
      ip netns del "$ns" 2>/dev/null || true
    fi
  done
}

lan_ns() { echo "$LAN_RUN-$1"; }

lan_add_namespace() {
  ip netns add "$1"
  LAN_NAMESPACES+=("$1")
  ip -n "$1" link set lo up
}

# lan_link PC_NS LAN_NS PC_END LAN_END PC_ADDRESS: one virtual cable. Both
# ends are made inside the namespaces, never in the machine's own.
lan_link() {
  ip -n "$1" link add "$3" type veth peer name "$4" netns "$2"
  ip -n "$1" addr add "$5" dev "$3"
  ip -n "$1" link set "$3" up
  ip -n "$2" link set "$4" up
}

lan_make_tmp() { LAN_TMP=$(mktemp -d "/tmp/$LAN_RUN.XXXXXX"); }

# lan_add_card_lan PC_NS LAN_NS NAME PC_ADDRESS[,SECOND_PC_ADDRESS] SIDE_ADDRESS:
# the card LAN LAN_NS, reached from PC_NS through the adapter kvpc<NAME>, or
# through two (kvpc<NAME>, kvpc<NAME>b) whose far ends the bridge kvbr<NAME>
# joins. The LAN's side holds SIDE_ADDRESS.
lan_add_card_lan() {
  local pc=$1 lan=$2 name=$3 pc_address=${4%%,*} second_pc_address="" side_address=$5 side
  [[ $4 == *,* ]] && second_pc_address=${4#*,}
  lan_add_namespace "$lan"
  lan_link "$pc" "$lan" "kvpc$name" "kvlan$name" "$pc_address"
  side="kvlan$name"
  if [ -n "$second_pc_address" ]; then
    lan_link "$pc" "$lan" "kvpc${name}b" "kvlan${name}b" "$second_pc_address"
    side="kvbr$name"
    ip -n "$lan" link add "$side" type bridge
    ip -n "$lan" link set "kvlan$name" master "$side"
    ip -n "$lan" link set "kvlan${name}b" master "$side"
    ip -n "$lan" link set "$side" up
  fi
  ip -n "$lan" addr add "$side_address" dev "$side"
  # The cards' side broadcasts its answers when asked to: it needs a route.
  ip -n "$lan" route add default dev "$side"
  # Many emulated cards answer at once before the PC's MAC is known: let
  # the neighbour queue hold all their answers.
  ip netns exec "$lan" sysctl -qw "net.ipv4.neigh.$side.unres_qlen_bytes=4194304"
}

# lan_create N [LINKS]: the PC namespace and N card LANs, each reached
# through LINKS adapters (1 or 2).
lan_create() {
  LAN_COUNT=$1
  LAN_LINKS=${2:-1}
  local pc i pc_addresses
  [ "$(id -u)" -eq 0 ] || { lan_log "needs root to make network namespaces"; return 1; }
  lan_sweep_stale
  lan_make_tmp
  pc=$(lan_ns pc)
  lan_add_namespace "$pc"
  # Cards answer from their own addresses, which may lie outside the PC's
  # subnets: take them whatever the machine's own setting is.
  ip netns exec "$pc" sysctl -qw net.ipv4.conf.all.rp_filter=0 net.ipv4.conf.default.rp_filter=0
  for ((i = 1; i <= LAN_COUNT; i++)); do
    pc_addresses="192.168.$i.2/24"
    [ "$LAN_LINKS" -eq 2 ] && pc_addresses+=",192.168.$i.3/24"
    lan_add_card_lan "$pc" "$(lan_ns "lan$i")" "$i" "$pc_addresses" "192.168.$i.1/24"
  done
  ip -n "$pc" route add default dev kvpc1
  lan_export
}

lan_export() {
  local i
  export KESTRUM_PRIVATE_LAN="$LAN_RUN"
  export KESTRUM_PC_NS
  KESTRUM_PC_NS=$(lan_ns pc)
  export KESTRUM_LAN_COUNT="$LAN_COUNT"
  export KESTRUM_LAN_LINKS="$LAN_LINKS"
  for ((i = 1; i <= LAN_COUNT; i++)); do
    export "KESTRUM_LAN${i}_NS=$(lan_ns "lan$i")"
    export "KESTRUM_LAN${i}_PC_IP=192.168.$i.2"
    export "KESTRUM_LAN${i}_CARD_SIDE_IP=192.168.$i.1"
    export "KESTRUM_LAN${i}_SUBNET=192.168.$i"
  done
  if [ -n "$LAN_CARDSIM" ]; then export KESTRUM_CARDSIM="$LAN_CARDSIM"; fi
}

# lan_start_cards NAMESPACE ARGS...: starts cardsim there and returns once it
# has printed its ready line; its later output goes to stderr.
lan_start_cards() {
  local ns=$1 fifo pid line fd tries
  shift
  [ -n "$LAN_CARDSIM" ] || { lan_log "--cardsim is needed to start cards"; return 1; }
  fifo="$LAN_TMP/cardsim-${#LAN_PIDS[@]}"
  mkfifo "$fifo"
  exec {fd}<>"$fifo"
  ip netns exec "$ns" "$LAN_CARDSIM" "$@" >"$fifo" &
  pid=$!
  LAN_PIDS+=("$pid")
  for ((tries = 0; tries < 60; tries++)); do
    if read -r -t 1 -u "$fd" line; then
      echo "$line" >&2
      if [[ $line == "cardsim: ready"* ]]; then
        cat <&"$fd" >&2 &
        LAN_PIDS+=("$!")
        exec {fd}<&-
        return 0
      fi
    elif ! kill -0 "$pid" 2>/dev/null; then
      break
    fi
  done
  lan_log "cardsim $* in $ns did not become ready"
  return 1
}

# lan_run COMMAND...: runs it in the PC namespace; returns its status.
lan_run() {
  ip netns exec "$(lan_ns pc)" "$@"
}

lan_cleanup() {
  local pid ns
  for pid in "${LAN_PIDS[@]}"; do kill -TERM "$pid" 2>/dev/null || true; done
  for pid in "${LAN_PIDS[@]}"; do wait "$pid" 2>/dev/null || true; done
  LAN_PIDS=()
  for ns in "${LAN_NAMESPACES[@]}"; do ip netns del "$ns" 2>/dev/null || true; done
  LAN_NAMESPACES=()
  if [ -n "$LAN_TMP" ]; then rm -rf "$LAN_TMP"; fi
  LAN_TMP=""
}

lan_main() {
  local cards=() lans=1 links=1 arg status
  while [ $# -gt 0 ]; do
    arg=$1
    shift
    case $arg in
      --lans) lans=$1; shift ;;
      --links) links=$1; shift ;;
      --cardsim) LAN_CARDSIM=$(realpath "$1"); shift ;;
      --cards) cards+=("$1" "$2"); shift 2 ;;
      --) break ;;
      *) lan_log "unknown option $arg"; return 125 ;;
    esac
  done
  [ $# -gt 0 ] || { lan_log "no command given after --"; return 125; }
  [[ $lans =~ ^[1-9]$ ]] || { lan_log "--lans takes 1 to 9"; return 125; }
  [[ $links =~ ^[12]$ ]] || { lan_log "--links takes 1 or 2"; return 125; }

  trap lan_cleanup EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM HUP
  # Any failure while the network is made ends the script (set -e), and the
  # EXIT trap takes down what was made so far.
  lan_create "$lans" "$links"
  local i words
  for ((i = 0; i < ${#cards[@]}; i += 2)); do
    read -ra words <<<"${cards[i + 1]}"
    lan_start_cards "$(lan_ns "lan${cards[i]}")" "${words[@]}"
  done
  # In the background and waited for, so that a stop signal to this script
  # is handled at once (and stops the command too) instead of after it ends.
  status=0
  # Started directly (not through a function, which would fork a subshell)
  # so that $! is the command itself: ip netns exec execs it.
  ip netns exec "$(lan_ns pc)" "$@" <&0 &
  LAN_PIDS+=("$!")
  wait "$!" || status=$?
  return "$status"
}

if [[ "${BASH_SOURCE[0]}" == "$0" ]]; then
  set -euo pipefail
  lan_main "$@"
  exit $?
fi
