# SPDX-License-Identifier: MIT
# apt-get update that outlasts a mirror caught mid-sync ("File has unexpected
# size"): a few tries, a little longer apart each time. Source it.
apt_update() {
    local try
    for try in 1 2 3 4 5; do
        ${sudo:-} apt-get update -q && return 0
        echo "apt-get update failed (try $try of 5); trying again in $((try * 20)) s" >&2
        sleep $((try * 20))
    done
    return 1
}
