# SPDX-License-Identifier: MIT
# apt-get update that outlasts a mirror caught mid-sync ("File has unexpected
# size"): three tries, then on with the lists apt has, so that the install
# that follows says plainly if a package cannot be had. Source it.
apt_update() {
    local try
    for try in 1 2 3; do
        ${sudo:-} apt-get update -q && return 0
        [ "$try" -lt 3 ] || break
        echo "apt-get update failed (try $try of 3); trying again in $((try * 20)) s" >&2
        sleep $((try * 20))
    done
    echo "warning: apt-get update failed 3 times; going on with the package lists apt has" >&2
}
