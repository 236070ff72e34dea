#!/bin/bash
# Starts Umbrafront on a handheld through PortMaster: the PortMaster folder's control.txt tells
# where ports live and how the device's pad is mapped; the game runs in its own folder, where it
# writes logfile.txt, fullscreen at the largest whole scale that fits the screen.
# Usage: started by the firmware's Ports menu (or by hand: bash Umbrafront.sh)

XDG_DATA_HOME=${XDG_DATA_HOME:-$HOME/.local/share}

if [ -d "/opt/system/Tools/PortMaster/" ]; then
  controlfolder="/opt/system/Tools/PortMaster"
elif [ -d "/opt/tools/PortMaster/" ]; then
  controlfolder="/opt/tools/PortMaster"
elif [ -d "$XDG_DATA_HOME/PortMaster/" ]; then
  controlfolder="$XDG_DATA_HOME/PortMaster"
else
  controlfolder="/roms/ports/PortMaster"
fi

if [ ! -f "$controlfolder/control.txt" ]; then
  echo "Umbrafront: PortMaster is not installed (no control.txt in $controlfolder)" >&2
  exit 1
fi
# shellcheck source=/dev/null
source "$controlfolder/control.txt"
# shellcheck source=/dev/null
[ -f "${controlfolder}/mod_${CFW_NAME}.txt" ] && source "${controlfolder}/mod_${CFW_NAME}.txt"
get_controls

# control.txt names the ports' parent folder in $directory (roms, roms2, storage/roms ...).
GAMEDIR="/$directory/ports/umbrafront"
if ! cd "$GAMEDIR"; then
  echo "Umbrafront: the game's folder $GAMEDIR is missing" >&2
  exit 1
fi

# What the script itself says goes to a log beside the game's own logfile.txt.
: >"$GAMEDIR/log.txt" && exec > >(tee "$GAMEDIR/log.txt") 2>&1

# The game links the firmware's SDL2; anything else it needs would be in libs.<arch>.
export LD_LIBRARY_PATH="$GAMEDIR/libs.${DEVICE_ARCH}:$LD_LIBRARY_PATH"
# The device's own pad mapping: the game reads the pad through SDL2's game controller names.
export SDL_GAMECONTROLLERCONFIG="$sdl_controllerconfig"
# Fullscreen, 4:3, crisp: the picture at the largest whole scale that fits, centred on black.
export SDL12ON2_FULLSCREEN=1

# The game reads the pad itself (L and R together quit); gptokeyb runs without a key mapping,
# only for the firmware's usual exit combination.
if [ -n "${GPTOKEYB:-}" ]; then $GPTOKEYB "umbrafront.${DEVICE_ARCH}" & fi
# Older PortMaster releases have no platform helper.
if declare -F pm_platform_helper >/dev/null; then pm_platform_helper "$GAMEDIR/umbrafront.${DEVICE_ARCH}"; fi
"./umbrafront.${DEVICE_ARCH}"
status=$?
echo "Umbrafront ended with status $status"

pm_finish
exit $status
