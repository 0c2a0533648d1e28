# SPDX-License-Identifier: MIT
# Work to do when the script ends, gathered from every library that needs
# some: `on_exit COMMAND` adds COMMAND (a string run by eval) to the EXIT
# trap instead of replacing what others put there. The commands run last
# added first, as resources are given back in the reverse order of taking.
# Source it; sourcing it again keeps what was added.
if [ -z "${on_exit_commands+set}" ]; then
    on_exit_commands=()
fi

run_exit_commands() {
    local i
    for ((i = ${#on_exit_commands[@]} - 1; i >= 0; i--)); do
        eval "${on_exit_commands[i]}" || true
    done
}

on_exit() {
    on_exit_commands+=("$1")
    trap run_exit_commands EXIT
}
