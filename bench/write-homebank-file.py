#!/usr/bin/env python3
"""Writes a HomeBank file holding the same budget as `screen_bench prepare`: ENVELOPES accounts
named "Envelope 0", "Envelope 1", ..., each with TRANSACTIONS entries whose notes and amounts are
those of the Allot store, so that both programs launch on the same data in their own format.
Usage: write-homebank-file.py ENVELOPES TRANSACTIONS FILE"""
import sys

envelopes, transactions, path = int(sys.argv[1]), int(sys.argv[2]), sys.argv[3]
with open(path, "w", encoding="utf-8") as out:
    out.write('<?xml version="1.0"?>\n<homebank v="1.3" d="050602">\n')
    out.write('<properties title="Bench" curr="1"/>\n')
    out.write('<cur key="1" flags="0" iso="USD" name="US Dollar" symb="$" syprf="1" dchar="." '
              'gchar="," frac="2" rate="0" mdate="0"/>\n')
    for e in range(1, envelopes + 1):
        out.write(f'<account key="{e}" pos="{e}" type="1" curr="1" name="Envelope {e - 1}" '
                  'initial="0"/>\n')
    for e in range(1, envelopes + 1):
        for t in range(transactions):
            amount = (t % 97) + 0.25
            if t % 3 == 0:
                amount = -amount
            out.write(f'<ope date="{738000 + t}" amount="{amount}" account="{e}" paymode="0" '
                      f'st="0" wording="Groceries at the corner shop #{t}"/>\n')
    out.write("</homebank>\n")
