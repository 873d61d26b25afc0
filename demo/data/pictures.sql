-- The products' pictures, read from the files demo_pictures drew (run in
-- their folder by scripts/build-demo-site). The watering can's is a PNG,
-- which the portal answers with its default picture; products without a row
-- here have none.
UPDATE products SET picture = readfile('spade.jpg') WHERE code = 'NAR-001';
UPDATE products SET picture = readfile('rake.jpg') WHERE code = 'NAR-002';
UPDATE products SET picture = readfile('carrot.gif') WHERE code = 'OSI-001';
UPDATE products SET picture = readfile('grass.gif') WHERE code = 'OSI-003';
UPDATE products SET picture = readfile('hose.bmp') WHERE code = 'ZAV-001';
UPDATE products SET picture = readfile('bench.bmp') WHERE code = 'NAB-001';
UPDATE products SET picture = readfile('can.png') WHERE code = 'ZAV-002';
