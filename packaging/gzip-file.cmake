# cmake -DIN=<file> -DOUT=<file.gz> -P gzip-file.cmake: compresses one file with gzip.
file(ARCHIVE_CREATE OUTPUT "${OUT}" PATHS "${IN}" FORMAT raw COMPRESSION GZip)
