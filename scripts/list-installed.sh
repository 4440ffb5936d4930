# Sourced by the checks of an installed morvex (check-install.sh,
# check-deb.sh), which define fail(). list_installed PROGRAM LINE SAMPLE HOME
# runs `PROGRAM list report.txt` in SAMPLE as a user's shell would start it:
# nothing in the environment says where the module, the layer or the message
# texts are. LINE is the pattern of the line it must print for the stream notes.
list_installed() {
  local program=$1 line=$2 sample=$3 home=$4 out
  if ! out=$(cd "$sample" && env -i PATH=/usr/bin:/bin HOME="$home" \
               "$program" list report.txt 2>&1); then
    fail "$program list failed: $out"
  elif ! grep -qE "$line" <<< "$out"; then
    fail "$program list printed no line for the stream notes: $out"
  fi
}
