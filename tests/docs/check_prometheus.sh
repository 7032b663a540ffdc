#!/bin/bash
# The Prometheus files in docs/prometheus: the rules and the configuration pass promtool's checks,
# and the alerts fire as their unit tests say. Skipped (77) where promtool is not installed.
set -euo pipefail
DIR=$1
command -v promtool >/dev/null || { echo "promtool is not installed: skipped"; exit 77; }
cd "$DIR"
promtool check rules lintrove5a.yml
promtool check config prometheus.yml
promtool test rules lintrove5a.test.yml
