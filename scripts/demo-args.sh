# Sourced by run.sh and screenshot.sh: Wine paths and the program's
# arguments for the bundled demo (or the NC files given).
#   demo_args <root> [options and nc files...]   fills the array "args"
# An argument naming an existing file is an NC file; any other (such as
# /XYZ or /DEFSIZE) is passed on as an option.

# Wine maps the Linux root to drive Z:.
winpath() { local p; p="$(realpath -m "$1")"; printf 'Z:%s' "${p//\//\\}"; }

demo_args() {
    local root="$1" top
    shift
    top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
    # The program writes its machine and tool files back at the end: give
    # it copies, so the bundled samples stay as they are.
    local demo="$root/demo"
    mkdir -p "$demo"
    cp "$top"/samples/demo.* "$demo/"
    local files=() options=() a
    for a in "$@"; do
        if [ -e "$a" ]; then files+=("$(winpath "$a")"); else options+=("$a"); fi
    done
    [ ${#files[@]} -gt 0 ] || files=("$(winpath "$demo/demo.nc")")
    args=("/MDL=$(winpath "$demo/demo.MDL")" "/TDL=$(winpath "$demo/demo.TDL")" "${options[@]}" "${files[@]}")
}
