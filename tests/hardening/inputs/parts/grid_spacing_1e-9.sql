-- The sheets' grid spacing becomes 1e-9 mm.
UPDATE states SET drafting = substr(drafting, 1, 32) || x'95D626E80B2E113E' || substr(drafting, 41);
