-- An attribute title with the byte 0xAC in it, as a legacy code page would write it.
UPDATE attributes SET title = CAST(x'454C45435FAC4E4F5445' AS TEXT);
