#!/usr/bin/env bash
# The comparison of a large file within bounded memory: makes a .varimo of
# 1,000,000 items over 261 phases (within every limit of the format), exports
# its comparison from the command line in each format, and prints the peak
# memory of each run. Fails when a run fails or passes LIMITE_MB (200).
#   scripts/memoria-confronto.sh [PROGRAM]   default: build-release/bin/varimo
# The package test runs it on the installed program.
set -euo pipefail
cd "$(dirname "$0")/.."
programma=${1:-build-release/bin/varimo}
limite=${LIMITE_MB:-200}
lavoro=$(mktemp -d)
trap 'rm -rf "$lavoro"' EXIT
python3 - "$programma" "$lavoro" "$limite" <<'PY'
import os, resource, string, subprocess, sys
programma, lavoro, limite = sys.argv[1], sys.argv[2], int(sys.argv[3])
cifre = string.digits + string.ascii_lowercase
def codice(k):
    s = ''
    while True:
        s = cifre[k % 36] + s
        k //= 36
        if k == 0:
            return s
voci = ','.join('{"codice":"%s"}' % codice(k) for k in range(3832))
fasi = ','.join('{"nome":"%d","tipo":"esecutivo","voci":[%s]}' % (i, voci) for i in range(261))
file = os.path.join(lavoro, 'grande.varimo')
with open(file, 'w') as f:
    f.write('{"formato":"varimo-quadro","versione":2,"fasi":[%s]}' % fasi)
ambiente = dict(os.environ, QT_QPA_PLATFORM='offscreen')
ambiente.pop('DISPLAY', None)
errori = 0
for est in ('csv', 'xlsx', 'docx', 'pdf'):
    # Each run in a process of its own, so that its peak is its own.
    misura = ('import resource, subprocess, sys\n'
              'r = subprocess.run(sys.argv[1:]).returncode\n'
              'print(r, resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss)\n')
    uscita = subprocess.run([sys.executable, '-c', misura, programma, '--esporta', file,
                             os.path.join(lavoro, 'confronto.' + est), '--confronto'],
                            env=ambiente, capture_output=True, text=True)
    stato, kb = uscita.stdout.split()
    mb = int(kb) / 1024
    esito = 'ok' if stato == '0' and mb < limite else 'TROPPO' if stato == '0' else 'ERRORE'
    print('confronto di 1.000.000 voci in .%-4s %6.1f MB  %s' % (est, mb, esito))
    if esito != 'ok':
        print(uscita.stderr, end='')
        errori += 1
sys.exit(1 if errori else 0)
PY
