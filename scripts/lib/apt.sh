# SPDX-License-Identifier: MIT
# apt-get for a machine whose mirror may be caught mid-sync ("File has
# unexpected size"). Source it.

# Three tries, then on with the lists apt has. Once per process tree and set
# of architectures: the outcome is exported, so a script run from one that
# updated does not wait through the same failures again, but an architecture
# added since (i386, for 32-bit Wine) still gets its lists.
apt_update() {
    local architectures
    architectures="$(dpkg --print-architecture) $(dpkg --print-foreign-architectures | tr '\n' ' ')"
    [ "${VELMORA_APT_UPDATED:-}" != "$architectures" ] || return 0
    export VELMORA_APT_UPDATED=$architectures
    local try
    for try in 1 2 3; do
        ${sudo:-} apt-get update -q && return 0
        [ "$try" -lt 3 ] || break
        echo "apt-get update failed (try $try of 3); trying again in $((try * 20)) s" >&2
        sleep $((try * 20))
    done
    export VELMORA_APT_LISTS_INCOMPLETE=1
    echo "warning: apt-get update failed 3 times; going on with the package lists apt has" >&2
}

# apt-get install. When a list is missing (most often one architecture's
# security list), a package of both architectures can be offered at two
# versions that Multi-Arch will not mix; taking new packages from the
# release alone gives both the same version. Only then, and said.
apt_install() {
    ${sudo:-} apt-get install -y -q "$@" && return 0
    [ -n "${VELMORA_APT_LISTS_INCOMPLETE:-}" ] || return 1
    local release
    release=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
    [ -n "$release" ] || return 1
    echo "warning: installing from $release alone, without its updates, as a package list is missing" >&2
    ${sudo:-} apt-get install -y -q -t "$release" "$@"
}
