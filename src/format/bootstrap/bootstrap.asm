; Real-mode bootstrap of the FAT32 boot sector.
;
; The BIOS loads the boot sector to 0000:7C00 and jumps to it; the jump at offset 0x000 (EB 58)
; lands here, at offset 0x05A. This file assembles to the 420 bytes from 0x05A to 0x1FD: the code,
; padded with zero bytes to 0x170, then the fixed data part that the code and the next stage use.
;
; What it does:
;   1. Normalises CS:IP to 0000:7Cxx, sets DS = ES = SS = 0 and a stack below the boot sector.
;   2. Checks that the boot sector describes FAT32: the 16-bit FAT length (0x016) and the
;      file-system version (0x02A) must both be 0. Otherwise: "Remove disks or other media.".
;   3. Reads volume sector 12 (hidden sectors + 12) to 0000:7E00 from the BIOS drive named by
;      the drive-number byte at 0x040, with the extended read (INT 13h AH=42h) when the drive
;      offers it and a CHS read (AH=02h) from the BPB geometry otherwise, trying three times.
;      A read that keeps failing shows "Disk error".
;   4. Jumps to the loaded sector at 0000:7E00 with DL = the drive byte.
; Every message ends with "Press any key to restart"; a key press then restarts (INT 19h).
;
; Build: nasm -f bin bootstrap.asm -o bootstrap.bin
;        nasm -f bin -dCODE_ONLY bootstrap.asm -o code.bin   (the code alone, to measure it)

        bits 16
        cpu 186                         ; push imm16 and shifts by an immediate count

BOOT_SECTOR             equ 0x7C00      ; where the BIOS loads the boot sector
STACK_TOP               equ BOOT_SECTOR ; the stack grows down from just below it
STAGE_ADDRESS           equ 0x7E00      ; the next stage goes right after the boot sector
STAGE_SECTOR            equ 12          ; volume sector of the next stage
READ_ATTEMPTS           equ 3           ; floppy drives often fail the first read after a spin-up

; Boot sector fields, addressed in the loaded copy.
FAT_LENGTH_16           equ BOOT_SECTOR + 0x016
SECTORS_PER_TRACK       equ BOOT_SECTOR + 0x018
HEAD_COUNT              equ BOOT_SECTOR + 0x01A
HIDDEN_SECTORS          equ BOOT_SECTOR + 0x01C
FS_VERSION              equ BOOT_SECTOR + 0x02A
DRIVE_NUMBER            equ BOOT_SECTOR + 0x040

; The messages are found through the three bytes at 0x1F9: the low byte of each message's offset
; in the sector. The high byte is always 0x01, so a message's address is 0x7D00 + that byte.
MESSAGE_OFFSETS         equ BOOT_SECTOR + 0x1F9
MESSAGE_PAGE            equ (BOOT_SECTOR + 0x100) >> 8

MSG_REMOVE_MEDIA        equ 0           ; indices into the offset table
MSG_DISK_ERROR          equ 1
MSG_PRESS_KEY           equ 2

; Fails the assembly unless the next byte lands at boot-sector offset %1.
%macro assert_offset 1
        times -((%1) - (0x05A + ($ - $$))) * ((%1) - (0x05A + ($ - $$))) db 0
%endmacro

        org BOOT_SECTOR + 0x05A

start:
        ; Some BIOSes enter at 07C0:0000 rather than 0000:7C00; the far jump makes CS = 0 so
        ; that the absolute addresses below hold either way.
        jmp     0:normalised
normalised:
        xor     ax, ax
        cli                             ; no interrupt between setting SS and SP
        mov     ss, ax
        mov     sp, STACK_TOP
        sti
        mov     ds, ax
        mov     es, ax
        cld

        ; Only a FAT32 volume has both a zero 16-bit FAT length and version 0.0.
        mov     ax, [FAT_LENGTH_16]
        or      ax, [FS_VERSION]
        mov     al, MSG_REMOVE_MEDIA    ; mov keeps the flags of the or
        jnz     show_message

        ; DX:AX = LBA of the next stage, hidden sectors + 12.
        mov     ax, [HIDDEN_SECTORS]
        mov     dx, [HIDDEN_SECTORS + 2]
        add     ax, STAGE_SECTOR
        adc     dx, 0

        ; The disk address packet of the extended read, built on the stack and left there.
        ; The CHS read takes the LBA from it too: [bp + 8] low word, [bp + 10] high word.
        xor     cx, cx
        push    cx                      ; LBA bits 48..63
        push    cx                      ; LBA bits 32..47
        push    dx                      ; LBA bits 16..31
        push    ax                      ; LBA bits 0..15
        push    cx                      ; buffer segment
        push    STAGE_ADDRESS           ; buffer offset
        push    1                       ; one sector
        push    0x0010                  ; packet size 16, reserved byte 0
        mov     bp, sp

        mov     di, READ_ATTEMPTS
read_attempt:
        ; Does the drive offer the extended read? INT 13h AH=41h answers with CF clear,
        ; BX = AA55h and bit 0 of CX set (packet access) when it does.
        mov     ah, 0x41
        mov     bx, 0x55AA
        mov     dl, [DRIVE_NUMBER]
        int     0x13
        jc      read_chs
        cmp     bx, 0xAA55
        jne     read_chs
        test    cl, 1
        jz      read_chs

        ; The BIOS writes the count of sectors it read back into the packet (0 after a failed
        ; read), so every attempt asks for its one sector afresh.
        mov     word [bp + 2], 1
        mov     si, bp                  ; DS:SI = the disk address packet
        mov     ah, 0x42
        mov     dl, [DRIVE_NUMBER]
        int     0x13
        jmp     read_done

read_chs:
        ; A CHS address holds sectors 1..63 and heads 0..255; other geometry cannot be read.
        mov     cx, [SECTORS_PER_TRACK]
        mov     bx, [HEAD_COUNT]
        jcxz    read_failed
        cmp     cx, 63
        ja      read_failed
        dec     bx
        cmp     bx, 255                 ; heads - 1 above 255, or heads = 0 (wraps to 0xFFFF)
        ja      read_failed
        inc     bx

        ; track = LBA / sectors per track, sector = remainder + 1. Two 16-bit divisions make
        ; the 32-bit division; each remainder feeds the next, so neither overflows.
        xor     dx, dx
        mov     ax, [bp + 10]
        div     cx
        mov     si, ax                  ; SI = high word of the track
        mov     ax, [bp + 8]
        div     cx                      ; SI:AX = track, DX = sector - 1
        inc     dx
        mov     cx, dx                  ; CX = sector, 1..63

        ; cylinder = track / heads, head = remainder. The cylinder must fit in 10 bits.
        xchg    ax, si
        xor     dx, dx
        div     bx
        test    ax, ax
        jnz     read_failed
        xchg    ax, si
        div     bx                      ; AX = cylinder, DX = head
        cmp     ax, 1023
        ja      read_failed

        ; CH = cylinder bits 0..7, CL = cylinder bits 8..9 in bits 6..7, sector in bits 0..5.
        xchg    al, ah
        ror     al, 2
        or      al, cl
        xchg    cx, ax
        mov     dh, dl
        mov     dl, [DRIVE_NUMBER]
        mov     bx, STAGE_ADDRESS       ; ES:BX = 0000:7E00
        mov     ax, 0x0201              ; read one sector
        int     0x13

read_done:
        jnc     stage_loaded
        dec     di
        jz      read_failed
        xor     ah, ah                  ; reset the drive before the next attempt
        mov     dl, [DRIVE_NUMBER]
        int     0x13
        jmp     read_attempt

stage_loaded:
        mov     dl, [DRIVE_NUMBER]
        jmp     0:STAGE_ADDRESS

read_failed:
        mov     al, MSG_DISK_ERROR

        ; Shows message AL (an index into the offset table) up to its end byte: 0xFF goes on with
        ; "Press any key to restart", a zero byte ends the output.
show_message:
        mov     bx, MESSAGE_OFFSETS
        xlatb                           ; AL = low byte of the message's offset
        mov     ah, MESSAGE_PAGE
        xchg    si, ax
print_next:
        lodsb
        cmp     al, 0xFF
        jne     print_end_or_char
        mov     al, MSG_PRESS_KEY
        jmp     show_message
print_end_or_char:
        test    al, al
        jz      wait_for_key
        mov     ah, 0x0E                ; teletype output, page 0, light grey
        mov     bx, 0x0007
        int     0x10
        jmp     print_next

wait_for_key:
        xor     ah, ah
        int     0x16
        int     0x19                    ; restart: the BIOS loads a boot sector again

code_end:

%ifndef CODE_ONLY

        ; Zero bytes up to the data; the assembly fails here if the code grows past 0x170.
        times   (0x170 - 0x05A) - (code_end - $$) db 0

        assert_offset 0x170
        db      "NTLDR      "           ; loader file name for the next stage, 8.3 form
        times   49 db 0

        assert_offset 0x1AC
remove_media_message:
        db      13, 10, "Remove disks or other media.", 0xFF

        assert_offset 0x1CB
disk_error_message:
        db      13, 10, "Disk error", 0xFF

        assert_offset 0x1D8
press_key_message:
        db      13, 10, "Press any key to restart", 13, 10

        assert_offset 0x1F4
        times   5 db 0                  ; the first one ends the message above

        assert_offset 0x1F9
        db      (remove_media_message - $$ + 0x05A) & 0xFF
        db      (disk_error_message - $$ + 0x05A) & 0xFF
        db      (press_key_message - $$ + 0x05A) & 0xFF

        assert_offset 0x1FC
        times   2 db 0

        assert_offset 0x1FE

%endif
