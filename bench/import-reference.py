#!/usr/bin/env python3
"""The yardstick of the import benchmark (bench/import): what a short script
does with the csv module and executemany to load an export of Stowbook into
an empty inventory. It maps the columns, turns the receipt into 1/0, leaves
empty fields Null and finds or adds the categories and locations, as the
import does, but checks nothing.

    import-reference.py FILE.csv stowbook.db
"""
import csv
import sqlite3
import sys


def main():
    path, database = sys.argv[1], sys.argv[2]
    connection = sqlite3.connect(database)
    codes = {}
    for table, key, description in (("categories", "catid", "catDesc"), ("locations", "locid", "locDesc")):
        codes[table] = {
            text.strip().casefold(): ident
            for ident, text in connection.execute(f"select {key}, {description} from {table}")
            if text is not None
        }

    def code(table, description, text):
        if text == "":
            return None
        folded = text.strip().casefold()
        ident = codes[table].get(folded)
        if ident is None:
            ident = connection.execute(f"insert into {table} ({description}) values (?)", (text.strip(),)).lastrowid
            codes[table][folded] = ident
        return ident

    def rows(reader):
        for row in reader:
            values = [field if field != "" else None for field in row[1:14]]
            values[9] = None if values[9] is None else (1 if values[9] == "Yes" else 0)
            values.append(code("categories", "catDesc", row[14]))
            values.append(code("locations", "locDesc", row[15]))
            yield values

    with open(path, newline="", encoding="utf-8-sig") as file:
        reader = csv.reader(file)
        next(reader)
        connection.executemany(
            "insert into items (Item, manufact, model, serno, purchdate, purchprice, estvalue, quantity, totvalue, "
            "receipt, wherepurch, misc1, Notes, catid, locid) values (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
            rows(reader),
        )
    connection.commit()
    connection.close()


if __name__ == "__main__":
    main()
